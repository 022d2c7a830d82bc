#pragma once
// What the compression utility holds while its window is open, and its ROM commands.
// No Qt here: the window and corvtool both drive these functions and show what they return.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "core/block_format.h"
#include "core/rom_image.h"

namespace corv::comp {

// 128 KiB of scratch memory for one block at a time. The upper half holds a block's
// decompressed bytes (the walk writes them there, the recompression reads block files there).
using WorkArea = core::BlockBuffer;
using WorkHalf = core::BlockHalf;

struct UtilityState {
    // Base of every output folder and initial folder of every file dialog.
    std::filesystem::path startDirectory;
    // The ROM; its path is the file Open ROM File last chose (kept after a title mismatch).
    core::RomImage rom;
    // Exists exactly while a ROM is loaded; acquired zeroed together with the ROM.
    std::unique_ptr<WorkArea> workArea;

    [[nodiscard]] bool romLoaded() const { return rom.loaded() && workArea != nullptr; }
    // The upper 64 KiB of the work area. Precondition: romLoaded().
    [[nodiscard]] WorkHalf upperHalf() const { return workArea->upper(); }
    // Drops the ROM and the work area together; the path stays.
    void releaseRom();
};

enum class OpenRomStatus {
    Opened,       // ROM and a fresh work area loaded
    Cancelled,    // no file chosen: nothing changed
    CannotOpen,   // unreadable: the previous ROM, work area and path are kept
    WrongTitle,   // not the game (or too short to hold a title): no ROM loaded, path names the file
    OutOfMemory,  // ROM or work area could not be acquired: nothing loaded, the program must end
};

struct OpenRomOutcome {
    OpenRomStatus status = OpenRomStatus::Cancelled;
    std::optional<std::string> message;  // for a message box
};

// Open ROM File with the file the user chose.
[[nodiscard]] OpenRomOutcome openRom(UtilityState& state, const std::filesystem::path& path);

enum class SaveRomStatus {
    Saved,
    NothingLoaded,  // no ROM (or no path): nothing written, nothing shown
    CannotWrite,    // nothing written: the file is read-only, its folder takes no new file, or
                    // the save failed and left the old file intact (the message gives the reason)
    KeptOnDisk,     // the file changed on disk and the user kept it: nothing written
};

struct SaveRomOutcome {
    SaveRomStatus status = SaveRomStatus::NothingLoaded;
    std::optional<std::string> message;
};

// Save ROM File: the whole file image, copier header included, back over the file it came from,
// under the file's lock. A read-only file, or one in a folder where no temporary file can be
// made, is refused before anything is written (never written in place). When another program
// has changed the file since it was opened or last saved, `overwriteChanged` is asked first; on
// No nothing is written and nothing shown.
[[nodiscard]] SaveRomOutcome saveRom(UtilityState& state, const std::function<bool()>& overwriteChanged);

// A folder opens like a file on some systems but has no bytes to read: callers refuse it as a
// file that cannot be opened.
[[nodiscard]] bool isFolder(const std::filesystem::path& path);

// The file-name part of a path as the user sees it in lines and messages.
[[nodiscard]] std::string fileNameOf(const std::filesystem::path& path);

}  // namespace corv::comp
