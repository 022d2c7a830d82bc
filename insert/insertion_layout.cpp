#include "insert/insertion_layout.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/block_format.h"
#include "core/byte_order.h"
#include "insert/stand_in.h"
#include "script/entry_words.h"
#include "script/script_file.h"
#include "script/string_record.h"

namespace corv::insert {

std::string MissingEntryPlaceholder(int stringNumber) {
    char text[32];
    std::snprintf(text, sizeof text, "Error String: %3d", stringNumber);
    return text;
}

std::optional<uint32_t> SearchEndOfRoom(std::span<const uint8_t> romData, std::span<const uint8_t> block,
                                        uint32_t lastRecord) {
    const size_t p = script::RecordTextPointer(block, lastRecord);
    for (size_t i = 0;; ++i) {
        if (p + i + 1 >= romData.size()) return std::nullopt;
        if (romData[p + i] == 0xFF || romData[p + i + 1] == 0xFF) return static_cast<uint32_t>(p + i + 1);
    }
}

std::string TextTooLongReason(uint32_t record) {
    return "the text of string " + std::to_string(record) + " is longer than a block can hold.";
}

EntryDataStatus EncodeTextEntry(LayoutEntry& entry, size_t entryNumber, script::ScriptText& script, const script::TableFile& table,
                                std::span<uint8_t> scratch, script::LogSink* log, std::span<const uint8_t> standInsFrom) {
    const std::optional<std::vector<std::string>> lines = script::LookupEntry(script, int(entry.record));
    entry.holdsText = lines && script::EntryHoldsText(*lines);
    if (!lines) {
        const std::string placeholder = MissingEntryPlaceholder(int(entryNumber));
        entry.data.assign(placeholder.begin(), placeholder.end());
        return EntryDataStatus::Placeholder;
    }
    if (!standInsFrom.empty() && !entry.holdsText) {
        const size_t pointer = std::min<size_t>(script::RecordTextPointer(standInsFrom, entry.record), standInsFrom.size());
        entry.data = StandInBytes(standInsFrom.subspan(pointer), entry.record);
        return EntryDataStatus::StandIn;
    }
    const script::EncodeResult encoded = script::EncodeEntryLines(*lines, int(entry.record), table, scratch, log);
    if (encoded.status == script::EncodeStatus::TooLong) return EntryDataStatus::TextTooLong;
    entry.data.assign(scratch.begin(), scratch.begin() + encoded.length);
    return EntryDataStatus::Ready;
}

EntryDataStatus CarryRecordData(LayoutEntry& entry, std::span<const uint8_t> block, bool last, uint32_t blockLength) {
    // Data of a record without text runs to the next record's text, or to the block's end.
    const int64_t next = last ? int64_t{blockLength} : int64_t{script::RecordTextPointer(block, entry.record + 1)};
    const int64_t length = next - int64_t{entry.oldOffset};
    if (length < 1 || next > int64_t(block.size())) return EntryDataStatus::PointerError;
    entry.data.assign(block.begin() + entry.oldOffset, block.begin() + entry.oldOffset + length);
    return EntryDataStatus::Ready;
}

void ShareOldText(std::span<LayoutEntry> entries, size_t j) {
    // Records that pointed at the same old text keep sharing one copy: the first one's.
    for (size_t earlier = 0; earlier < j; ++earlier) {
        if (!entries[earlier].sharedWith && entries[earlier].oldOffset == entries[j].oldOffset) {
            entries[j].sharedWith = earlier;
            entries[j].data.clear();
            return;
        }
    }
}

std::optional<std::string> LayoutProblem(std::span<const LayoutEntry> entries, uint16_t stringCount) {
    // The block's length is a 16-bit word (kept even by the compressor), and the records must
    // stay in front of the text.
    const uint32_t layoutStart = entries.front().oldOffset;
    uint64_t layoutEnd = layoutStart;
    for (const LayoutEntry& entry : entries) layoutEnd += entry.data.size();
    if (layoutStart < uint32_t{stringCount} * script::kRecordSize + 2) {
        return "string 0's text lies inside the string records.";
    }
    if (layoutEnd > core::kMaxBlockFileSize) {
        char text[128];
        std::snprintf(text, sizeof text, "the new block needs %u bytes, more than the %u a block can hold.",
                      unsigned(layoutEnd), unsigned{core::kMaxBlockFileSize});
        return text;
    }
    return std::nullopt;
}

uint32_t LayOutEntry(std::span<LayoutEntry> entries, size_t j, uint32_t write, std::span<uint8_t> block) {
    LayoutEntry& entry = entries[j];
    const size_t pointerAt = script::RecordOffset(entry.record) + script::kRecordTextPointerOffset;
    if (entry.sharedWith) {
        core::writeLe16(block, pointerAt, static_cast<uint16_t>(entries[*entry.sharedWith].newOffset));
        return write;
    }
    std::copy(entry.data.begin(), entry.data.end(), block.begin() + write);
    core::writeLe16(block, pointerAt, static_cast<uint16_t>(write));
    entry.newOffset = write;
    return write + static_cast<uint32_t>(entry.data.size());
}

uint32_t LayOutEntries(std::span<LayoutEntry> entries, std::span<uint8_t> block) {
    uint32_t write = entries.front().oldOffset;
    for (size_t j = 0; j < entries.size(); ++j) write = LayOutEntry(entries, j, write, block);
    return write;
}

}  // namespace corv::insert
