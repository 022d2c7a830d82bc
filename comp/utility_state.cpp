#include "comp/utility_state.h"

#include <new>

#include "comp/messages.h"
#include "comp/save_target.h"
#include "core/save_failure_text.h"

namespace corv::comp {

bool IsFolder(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

void UtilityState::releaseRom() {
    rom.release();
    workArea.reset();
}

OpenRomOutcome OpenRom(UtilityState& state, const std::filesystem::path& path) {
    if (path.empty()) return {OpenRomStatus::Cancelled, std::nullopt};
    if (IsFolder(path)) return {OpenRomStatus::CannotOpen, std::string(kCannotOpenRom)};
    try {
        // The new work area is acquired before the ROM is replaced, so that a failed
        // acquisition cannot leave a ROM without its work area.
        auto workArea = std::make_unique<WorkArea>();  // value-initialised: all zero
        switch (core::OpenRomFile(state.rom, path)) {
            case core::RomOpenResult::CannotOpen:
            case core::RomOpenResult::TooLarge:  // larger than the game can be: refused unread
                return {OpenRomStatus::CannotOpen, std::string(kCannotOpenRom)};
            case core::RomOpenResult::WrongTitle:
                state.workArea.reset();
                return {OpenRomStatus::WrongTitle, std::string(kWrongRom)};
            case core::RomOpenResult::Opened:
                state.workArea = std::move(workArea);
                return {OpenRomStatus::Opened, std::nullopt};
        }
    } catch (const std::bad_alloc&) {
        state.releaseRom();
        state.rom.setPath(path);
        return {OpenRomStatus::OutOfMemory, std::string(kOutOfMemory)};
    }
    return {OpenRomStatus::CannotOpen, std::string(kCannotOpenRom)};
}

SaveRomOutcome SaveRom(UtilityState& state, const std::function<bool()>& overwriteChanged) {
    if (!state.romLoaded() || state.rom.path().empty()) return {SaveRomStatus::NothingLoaded, std::nullopt};
    const SaveTargetCheck target = CheckSaveTarget(state.rom.path());
    switch (target.status) {
        case SaveTargetStatus::Writable:
            break;
        case SaveTargetStatus::ReadOnlyFile:
            return {SaveRomStatus::CannotWrite, std::string(kCannotOpenRom)};
        case SaveTargetStatus::ClosedFolder:
            return {SaveRomStatus::CannotWrite, ClosedFolderMessage(target.reason.message())};
    }
    const core::RomSaveOutcome saved = core::SaveHeldRomFile(state.rom, core::kHeldRomLockWait, overwriteChanged);
    switch (saved.result) {
        case core::RomSaveResult::Saved:
            return {SaveRomStatus::Saved, SavedMessage(FileNameOf(state.rom.path()))};
        case core::RomSaveResult::NoRom:
            return {SaveRomStatus::NothingLoaded, std::nullopt};
        case core::RomSaveResult::KeptOnDisk:
            return {SaveRomStatus::KeptOnDisk, std::nullopt};
        case core::RomSaveResult::Busy:
            return {SaveRomStatus::CannotWrite, std::string(kCannotOpenRom) + "\n" +
                                                    core::LockFailureReason(saved.lock, saved.lockError, state.rom.path())};
        case core::RomSaveResult::CannotWrite:
            break;
    }
    return {SaveRomStatus::CannotWrite, std::string(kCannotOpenRom) + "\n" + core::SaveFailureReason(saved.save)};
}

std::string FileNameOf(const std::filesystem::path& path) { return path.filename().string(); }

}  // namespace corv::comp
