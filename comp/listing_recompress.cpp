#include "comp/listing_recompress.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "comp/messages.h"
#include "core/address.h"
#include "core/ascii.h"
#include "core/block_encoder.h"

namespace corv::comp {

namespace {

constexpr std::string_view kEntryKeyword = ".COMP";
constexpr uint32_t kAddressMask = 0xFFFFFF;

// Characters that continue a file or folder name rather than end a number.
constexpr std::string_view kPathCharacters = "./\\:_-~";

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Splits at runs of white space, keeping where each field starts and ends in the line.
struct Field {
    size_t begin = 0;
    size_t end = 0;
};

std::vector<Field> splitFields(std::string_view line) {
    std::vector<Field> fields;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at])) ++at;
        if (at == line.size()) break;
        const size_t begin = at;
        while (at < line.size() && !isBlank(line[at])) ++at;
        fields.push_back({begin, at});
    }
    return fields;
}

// A number field as the listing's reader takes it: an optional "0x", hexadecimal digits, and
// the number ends at the first other character ("1461B4;" reads 1461B4). A field whose digits
// run on into a letter, a digit or a path character ("Folder", "de/x.dat") is part of the path.
std::optional<uint32_t> parseHexField(std::string_view field) {
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) field.remove_prefix(2);
    const core::HexDigits digits = core::ReadHexDigits(field);
    if (digits.count == 0 || digits.overflow) return std::nullopt;
    const size_t stop = digits.count;
    if (stop < field.size()) {
        const char next = field[stop];
        if (std::isalnum(static_cast<unsigned char>(next)) != 0 || kPathCharacters.find(next) != std::string_view::npos) {
            return std::nullopt;
        }
    }
    return digits.value;
}

// The compressor's result code stops at kMaxCodedExcess; a larger excess is measured again
// with the same inputs (nothing is written either way) so that the line shows all of it.
uint32_t excessOf(uint32_t result, const UtilityState& state, uint32_t address, uint32_t limit, uint32_t length) {
    const uint32_t coded = core::ExcessBytes(result);
    if (coded < core::kMaxCodedExcess) return coded;
    const core::CompressionMeasure measure =
        core::MeasureBlockCompression(std::as_const(state.rom).data(), address, limit, length, state.upperHalf());
    if (!core::IsTooLarge(measure.code) || measure.needed == 0) return coded;
    return static_cast<uint32_t>(static_cast<int64_t>(measure.needed) - measure.room);
}

}  // namespace

bool IsEntryLine(std::string_view line) {
    return core::StartsWithIgnoringCase(line, kEntryKeyword);
}

std::optional<ListingEntry> ParseEntryLine(std::string_view line) {
    // The path runs up to the first two number fields in a row; whatever follows them (a third
    // number, a comment) is ignored.
    const std::vector<Field> fields = splitFields(line);
    auto number = [&](size_t i) { return parseHexField(line.substr(fields[i].begin, fields[i].end - fields[i].begin)); };
    for (size_t i = 2; i + 1 < fields.size(); ++i) {
        const auto offset = number(i);
        if (!offset) continue;
        const auto end = number(i + 1);
        if (!end) continue;
        const size_t pathBegin = fields[1].begin;
        const size_t pathEnd = fields[i - 1].end;
        return ListingEntry{std::filesystem::path(std::string(line.substr(pathBegin, pathEnd - pathBegin))), *offset,
                            *end};
    }
    return std::nullopt;
}

EntryResult RecompressEntry(UtilityState& state, const ListingEntry& entry, ListingCompressor compressor) {
    const std::string name = FileNameOf(entry.path);
    const std::optional<std::vector<uint8_t>> file =
        IsFolder(entry.path) ? std::nullopt : core::ReadWholeFile(entry.path);
    if (!file) return {EntryStatus::CannotOpenFile, CannotOpenBlockFileLine(name), 0};
    if (file->size() > core::kMaxBlockFileSize) {
        return {EntryStatus::FileTooBig, BlockFileTooBigLine(name, file->size()), 0};
    }
    const uint32_t address = entry.offset & kAddressMask;
    const uint32_t blockOffset = core::AddressToRomOffset(address);
    if (uint64_t{blockOffset} + core::kBlockHeaderSize > state.rom.dataSize()) {
        return {EntryStatus::BeyondRom, BeyondRomLine(name, blockOffset), 0};
    }

    const WorkHalf input = state.upperHalf();
    std::copy(file->begin(), file->end(), input.begin());
    const auto length = static_cast<uint32_t>(file->size());
    const auto compress = [&](core::Compressor which) {
        return core::CompressBlock(state.rom.data(), address, entry.end, length, input, which);
    };
    uint32_t result = compress(compressor == ListingCompressor::Maximising ? core::Compressor::Maximising
                                                                           : core::Compressor::Standard);
    if (core::IsTooLarge(result) && compressor == ListingCompressor::MaximisingWhenOver) {
        result = compress(core::Compressor::Maximising);
    }
    if (result == core::kCompressWritten) return {EntryStatus::Written, RecompressedLine(name), 0};
    if (result == core::kCompressBadHeader) return {EntryStatus::InvalidBlock, InvalidBlockLine(name), 0};
    if (result == core::kCompressReadBackFailed) return {EntryStatus::NoReadBack, ReadBackFailedLine(name), 0};
    const uint32_t excess = excessOf(result, state, address, entry.end, length);
    return {EntryStatus::TooLarge, TooLargeLine(name, excess), excess};
}

std::optional<std::ifstream> OpenListing(const std::filesystem::path& path) {
    // Only a regular file: a folder opens on some systems and yields no lines, and a FIFO waits
    // for a writer, freezing the window.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream listing(path);
    if (!listing) return std::nullopt;
    return listing;
}

RecompressSummary RecompressListing(UtilityState& state, std::istream& listing, const LineHandler& afterLine,
                                    ListingCompressor compressor) {
    RecompressSummary summary;
    if (!state.romLoaded()) return summary;
    std::string line;
    while (std::getline(listing, line)) {
        // The handler lets events through; the window keeps the ROM in place meanwhile, but
        // never write through a work area that has gone.
        if (!state.romLoaded()) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a listing written with CR LF
        LineResult result;
        if (IsEntryLine(line)) {
            ++summary.entries;
            const std::optional<ListingEntry> entry = ParseEntryLine(line);
            result.entry = entry ? RecompressEntry(state, *entry, compressor)
                                 : EntryResult{EntryStatus::Unreadable, UnreadableLine(line), 0};
            if (result.entry->status == EntryStatus::Written) ++summary.written;
            result.letEventsThrough = result.entry->status != EntryStatus::CannotOpenFile;
        }
        if (afterLine) afterLine(result);
    }
    return summary;
}

}  // namespace corv::comp
