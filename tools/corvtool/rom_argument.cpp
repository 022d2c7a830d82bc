#include "tools/corvtool/rom_argument.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_open_text.h"
#include "core/save_failure_text.h"

namespace corv::tool {

std::ostream& FileError(std::ostream& err, std::string_view command, const std::string& file) {
    return err << "corvtool " << command << ": " << file << ": ";
}

bool OpenGameRom(core::RomImage& rom, const std::string& path, std::string_view command, std::ostream& err) {
    switch (core::OpenRomFile(rom, path)) {
    case core::RomOpenResult::Opened:
        return true;
    case core::RomOpenResult::CannotOpen:
        FileError(err, command, path) << "cannot read this file (missing, unreadable or a folder)\n";
        return false;
    case core::RomOpenResult::WrongTitle:
        FileError(err, command, path) << "not the CORVANE ROM (no internal title CORVANE at ROM offset 00FFC0)\n";
        return false;
    case core::RomOpenResult::TooLarge:
        FileError(err, command, path) << core::RomTooLargeReason() << '\n';
        return false;
    }
    return false;
}

namespace {

std::ostream& OutsideRomError(std::ostream& err, const core::RomImage& rom, uint32_t address, std::string_view command) {
    const uint32_t offset = core::AddressToRomOffset(address & 0xFFFFFF);
    return FileError(err, command, rom.path().string())
           << "address " << HexWord(address) << " (ROM offset " << HexWord(offset)
           << ") lies past the end of the ROM, which holds " << HexWord(rom.dataSize()) << " bytes\n";
}

std::ostream& BadHeaderError(std::ostream& err, const core::RomImage& rom, uint32_t address, std::string_view command) {
    const uint32_t offset = core::AddressToRomOffset(address & 0xFFFFFF);
    return FileError(err, command, rom.path().string())
           << "the block header at ROM offset " << HexWord(offset) << " fails its check (no block starts there)\n";
}

}  // namespace

bool BlockLiesInRom(const core::RomImage& rom, uint32_t address, std::string_view command, std::ostream& err) {
    const uint32_t offset = core::AddressToRomOffset(address & 0xFFFFFF);
    if (uint64_t{offset} + core::kBlockHeaderSize <= rom.dataSize()) return true;
    OutsideRomError(err, rom, address, command);
    return false;
}

std::optional<uint32_t> DecompressNamedBlock(const core::RomImage& rom, uint32_t address, core::BlockBuffer& buffer,
                                             std::string_view command, std::ostream& err) {
    if (!BlockLiesInRom(rom, address, command, err)) return std::nullopt;
    const uint32_t end = core::DecompressBlock(rom.data(), address, buffer);
    if (end == core::kBadBlockHeader) {
        BadHeaderError(err, rom, address, command);
        return std::nullopt;
    }
    return end;
}

std::optional<script::TextBlock> OpenTextBlock(const core::RomImage& rom, const script::BlockDataLoad& dataFile,
                                               const std::string& dataPath, uint32_t address,
                                               script::BlockListing listing, std::string_view command,
                                               std::ostream& err) {
    script::TextBlockLoad load = script::LoadTextBlock(rom.data(), dataFile.blocks, address, listing);
    const std::string block = HexWord(address & 0xFFFFFF).substr(2);
    switch (load.problem) {
    case script::TextBlockProblem::None:
        return std::move(load.block);
    case script::TextBlockProblem::NotListed:
        FileError(err, command, dataPath) << "no .BLOCK line names the block at " << block << '\n';
        break;
    case script::TextBlockProblem::OutsideRom:
        OutsideRomError(err, rom, address, command);
        break;
    case script::TextBlockProblem::BadHeader:
        BadHeaderError(err, rom, address, command);
        break;
    case script::TextBlockProblem::NoRecordEnd:
        FileError(err, command, rom.path().string())
            << "the block at " << block << " has no string table (no terminator record): not a text block\n";
        break;
    }
    return std::nullopt;
}

long LockWaitSeconds() {
    constexpr long kDefaultWaitSeconds = 60;
    long seconds = kDefaultWaitSeconds;
    if (const char* text = std::getenv("CORVTOOL_LOCK_WAIT")) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 0) seconds = value;
    }
    return seconds;
}

std::optional<core::FileLock> LockOrReport(core::FileLock lock, std::string_view command, const std::string& file,
                                           std::string_view subject, long seconds, std::ostream& err,
                                           std::string_view reason) {
    switch (lock.status()) {
    case core::LockStatus::Locked:
    case core::LockStatus::Unavailable: return lock;
    case core::LockStatus::TimedOut:
        FileError(err, command, file) << "another command is changing this " << subject << "; gave up after " << seconds
                                      << " s of waiting (CORVTOOL_LOCK_WAIT sets the wait); nothing written\n";
        return std::nullopt;
    case core::LockStatus::Failed:
        FileError(err, command, file) << "cannot lock this " << subject << ": "
                                      << (reason.empty() ? std::string_view(std::strerror(lock.error())) : reason)
                                      << "; nothing written\n";
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<core::FileLock> LockGameRom(const std::string& path, std::string_view command, std::ostream& err) {
    const long seconds = LockWaitSeconds();
    return LockOrReport(core::FileLock::acquire(path, std::chrono::seconds(seconds)), command, path, "file", seconds, err);
}

void ReportSaveFailure(std::ostream& err, std::string_view command, const std::string& file,
                       const core::SaveResult& result) {
    FileError(err, command, file) << "cannot save: " << core::SaveFailureReason(result);
    if (result.status == core::SaveStatus::ReadOnly && result.error == EACCES) {
        err << " (--force replaces a read-only file of your own)";
    }
    err << (result.replaced ? "\n" : "; the file was left as it was\n");
}

bool SaveGameRom(core::RomImage& rom, std::string_view command, std::ostream& err, const core::SaveOptions& options,
                 const core::FileLock* lock) {
    core::SaveOptions withLeftovers = options;
    if (lock != nullptr && lock->held()) withLeftovers.leftoversBefore = lock->lockedAt();
    const core::RomSaveOutcome saved = core::SaveRomFile(rom, withLeftovers);
    if (saved.result == core::RomSaveResult::Saved) return true;
    ReportSaveFailure(err, command, rom.path().string(), saved.save);
    return false;
}

bool TakeForceOption(std::vector<std::string>& args) {
    const auto kept = std::remove(args.begin(), args.end(), std::string("--force"));
    const bool found = kept != args.end();
    args.erase(kept, args.end());
    return found;
}

std::string HexWord(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace corv::tool
