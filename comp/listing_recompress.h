#pragma once
// Recompression from a listing (compfile.txt as the area walk writes it, possibly after the
// block files were edited): every ".COMP" line's file is compressed into the ROM in place of its
// block when the new stream fits the room the listing records.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "comp/utility_state.h"
#include "core/block_encoder.h"

namespace corv::comp {

struct ListingEntry {
    std::filesystem::path path;  // the block file
    uint32_t offset = 0;         // where the block lies (a ROM offset, or a 24-bit address)
    uint32_t end = 0;            // first ROM offset the new stream may not reach
};

// True for a line the recompression acts on: its first five characters read ".COMP" in any case.
// A line that starts with a blank is passed over.
[[nodiscard]] bool IsEntryLine(std::string_view line);

// The fields of an entry line: the keyword, the path, then the offset and the end offset in
// hexadecimal (either case, leading zeros optional, an "0x" prefix allowed), separated by runs of
// white space. A number ends at its first character that is no hexadecimal digit, unless that
// character continues a name (a letter, a digit, one of "./\:_-~"): such a field belongs to the
// path. The path is everything from the second field up to the first two number fields in a row,
// so a start folder whose name holds blanks still reads back; anything after the two numbers is
// ignored. std::nullopt when there are no two such numbers (of 32 bits) after a path.
[[nodiscard]] std::optional<ListingEntry> ParseEntryLine(std::string_view line);

enum class EntryStatus {
    Written,         // compressed into the ROM
    CannotOpenFile,  // block file missing or unreadable
    InvalidBlock,    // the header at the offset fails its check
    TooLarge,        // the new stream passes the end offset
    NoReadBack,      // the new block would not decode back to the file: nothing written
    FileTooBig,      // over 65,534 bytes: cannot be described by the 16-bit length word
    BeyondRom,       // the block's header does not lie inside the ROM
    Unreadable,      // the line's fields cannot be parsed
};

struct EntryResult {
    EntryStatus status = EntryStatus::Unreadable;
    std::string line;         // the list-box line
    uint32_t excessBytes = 0; // for TooLarge
};

// Which compressor writes a block: the standard one (the default), the maximising one for every
// block (corvtool repack --maximise), or the maximising one only for a block the standard one
// leaves over its room (the utility's Fit Harder When Over), so that blocks that fit keep the
// standard compressor's bytes.
enum class ListingCompressor : uint8_t { Standard, Maximising, MaximisingWhenOver };

// Compresses one entry. The file is read into the upper half of the work area; the bytes after
// it stay as the previous operation left them (the odd-length rule and the last group read
// them). Nothing is written to the ROM unless the result is Written. Precondition: romLoaded().
[[nodiscard]] EntryResult RecompressEntry(UtilityState& state, const ListingEntry& entry,
                                          ListingCompressor compressor = ListingCompressor::Standard);

// One line of the listing after it was handled.
struct LineResult {
    std::optional<EntryResult> entry;  // std::nullopt for a line that was passed over
    // False only after a block file that could not be opened: the next line follows at once.
    bool letEventsThrough = true;
};
using LineHandler = std::function<void(const LineResult&)>;

struct RecompressSummary {
    uint32_t entries = 0;  // ".COMP" lines seen
    uint32_t written = 0;  // of which compressed into the ROM
    [[nodiscard]] bool allWritten() const { return written == entries; }
};

// Opens a listing for reading; std::nullopt when it cannot be opened or is not a regular file
// (a folder, a FIFO, a device), at once (message kCannotOpenListing).
[[nodiscard]] std::optional<std::ifstream> OpenListing(const std::filesystem::path& path);

// Handles every line of `listing` in order and calls `afterLine` after each one, so the caller
// can show the result and let pending events through. Successful entries change the ROM at once;
// a later failure undoes nothing. With no ROM loaded nothing is read.
RecompressSummary RecompressListing(UtilityState& state, std::istream& listing, const LineHandler& afterLine,
                                    ListingCompressor compressor = ListingCompressor::Standard);

}  // namespace corv::comp
