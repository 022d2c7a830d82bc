#pragma once
// Opening the ROM named on the command line, with the same title check and copier-header rule
// as the two programs, finding a block in it, and the one-line errors every command prints for
// them: "corvtool COMMAND: FILE: what is wrong".

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_format.h"
#include "core/file_lock.h"
#include "core/file_save.h"
#include "core/rom_image.h"
#include "script/block_data_file.h"
#include "script/text_block.h"

namespace corv::tool {

// Opens `path` into `rom`; on failure prints one line naming `command` to `err` and returns false.
[[nodiscard]] bool OpenGameRom(core::RomImage& rom, const std::string& path, std::string_view command,
                               std::ostream& err);

// True when a block header at the 24-bit `address` lies inside the ROM data; otherwise prints
// that the address lies past the end of the ROM.
[[nodiscard]] bool BlockLiesInRom(const core::RomImage& rom, uint32_t address, std::string_view command,
                                  std::ostream& err);

// Decompresses the block at the 24-bit `address` into `buffer` and returns the ROM offset after
// its compressed data; on failure (the address lies past the end of the ROM, or the block's
// header fails its check) prints one line naming the ROM file and returns std::nullopt.
[[nodiscard]] std::optional<uint32_t> DecompressNamedBlock(const core::RomImage& rom, uint32_t address,
                                                           core::BlockBuffer& buffer, std::string_view command,
                                                           std::ostream& err);

// Opens the text block at `address` through script::LoadTextBlock; on a problem prints its one
// line (naming the data file for an unlisted block, the ROM otherwise) and returns std::nullopt.
[[nodiscard]] std::optional<script::TextBlock> OpenTextBlock(const core::RomImage& rom,
                                                             const script::BlockDataLoad& dataFile,
                                                             const std::string& dataPath, uint32_t address,
                                                             script::BlockListing listing, std::string_view command,
                                                             std::ostream& err);

// Takes the lock of the ROM file `path` for a command that reads, changes and saves it, so that
// two commands on one ROM run one after the other. Waits CORVTOOL_LOCK_WAIT seconds (60 when
// unset); when the lock cannot be had prints one line and returns std::nullopt. A file that
// cannot be locked because it is missing or unreadable gives an unheld lock: the read that
// follows reports it.
[[nodiscard]] std::optional<core::FileLock> LockGameRom(const std::string& path, std::string_view command,
                                                        std::ostream& err);

// How long a command waits for a lock another command holds: CORVTOOL_LOCK_WAIT seconds, 60
// when it is unset or no number.
[[nodiscard]] long LockWaitSeconds();

// `lock` when it is held or there is nothing to lock; otherwise prints its line ("another command
// is changing this SUBJECT; gave up after N s ...", "cannot lock this SUBJECT: REASON") naming
// `file`, and returns std::nullopt. `reason` words a failure; empty: the system's.
[[nodiscard]] std::optional<core::FileLock> LockOrReport(core::FileLock lock, std::string_view command,
                                                         const std::string& file, std::string_view subject,
                                                         long seconds, std::ostream& err, std::string_view reason = {});

// Saves `rom` (the caller holds its lock, `lock`: the leftovers of saves killed before it was
// taken are removed); on failure prints one line naming the file and the reason and returns false.
[[nodiscard]] bool SaveGameRom(core::RomImage& rom, std::string_view command, std::ostream& err,
                               const core::SaveOptions& options = {}, const core::FileLock* lock = nullptr);

// The line for a file that could not be written: the file, the reason, and whether it is as it was.
void ReportSaveFailure(std::ostream& err, std::string_view command, const std::string& file,
                       const core::SaveResult& result);

// Removes "--force" from `args` wherever it stands; true when it was there.
[[nodiscard]] bool TakeForceOption(std::vector<std::string>& args);

// "corvtool COMMAND: FILE: " to start an error line about a file.
std::ostream& FileError(std::ostream& err, std::string_view command, const std::string& file);

// Eight upper-case hexadecimal digits.
[[nodiscard]] std::string HexWord(uint32_t value);

}  // namespace corv::tool
