#include "insertion.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/block_encoder.h"
#include "core/byte_order.h"
#include "string_record.h"

namespace corv::script {
namespace {

constexpr char kLogRule[] = ";#####################################################;";

struct Entry {
    uint32_t oldOffset = 0;
    uint32_t record = 0;
    std::vector<uint8_t> data;
    std::optional<size_t> sharedWith;  // the earlier entry whose data this record now shares
    uint32_t newOffset = 0;
};

std::span<uint8_t> lowerHalf(core::BlockBuffer& buffer) {
    return std::span<uint8_t>(buffer).first(core::kBlockHalfSize);
}

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

void step(InsertionProgress& progress, int position) {
    progress.setGaugePosition(position);
    progress.processPendingMessages();
}

InsertionResult refusal(InsertionOutcome outcome, std::string message) {
    InsertionResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

// The working list: one "%08X  %3d" line (old text pointer, string number) per string.
std::vector<std::string> buildWorkingList(std::span<const uint8_t> block, const InsertionBlock& info,
                                          InsertionProgress& progress) {
    progress.setCaption("Building Pointer Table...");
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < info.stringCount; ++i) {
        lines.push_back(format("%08X  %3d", unsigned{RecordTextPointer(block, i)}, int(i)));
        step(progress, int(i));
    }
    return lines;
}

bool readWorkingLine(const std::string& line, uint32_t& oldOffset, uint32_t& record) {
    unsigned offset = 0;
    int number = 0;
    if (std::sscanf(line.c_str(), "%X %d", &offset, &number) != 2 || number < 0) return false;
    oldOffset = offset;
    record = static_cast<uint32_t>(number);
    return true;
}

// Without a recorded end of room, the ROM data is scanned from the last string's old text
// pointer up to the first 0xFF byte.
std::optional<uint32_t> searchEndOfRoom(std::span<const uint8_t> romData, std::span<const uint8_t> block,
                                        const std::string& lastLine) {
    uint32_t ignored = 0;
    uint32_t record = 0;
    if (!readWorkingLine(lastLine, ignored, record)) return std::nullopt;
    const size_t p = RecordTextPointer(block, record);
    for (size_t i = 0;; ++i) {
        if (p + i + 1 >= romData.size()) return std::nullopt;
        if (romData[p + i] == 0xFF || romData[p + i + 1] == 0xFF) return static_cast<uint32_t>(p + i + 1);
    }
}

// Refused layouts: log line and message box text.
InsertionResult layoutRefusal(InsertionProgress& progress, const InsertionBlock& info, const std::string& reason) {
    progress.addLogLine(kLogRule);
    progress.addLogLine(format("; Error: \".BLOCK %X\" was not inserted: ", unsigned{info.blockAddress}) + reason);
    progress.addLogLine("; Nothing was written to the ROM.");
    progress.addLogLine(kLogRule);
    return refusal(InsertionOutcome::LayoutTooLarge,
                   format("Error: \".BLOCK %X\" cannot be inserted: ", unsigned{info.blockAddress}) + reason +
                       " Nothing was written.");
}

void logOutcome(InsertionProgress& progress, const InsertionBlock& info, uint32_t code) {
    const unsigned address = info.blockAddress;
    progress.addLogLine(kLogRule);
    if (code == core::kCompressWritten) {
        progress.addLogLine("; All text was inserted successfully, and...");
        progress.addLogLine(format("; Success: \".BLOCK %X\" compressed successfully!", address));
    } else if (core::IsTooLarge(code)) {
        progress.addLogLine("; All text was inserted successfully, but...");
        progress.addLogLine(format("; Error: \".BLOCK %X\" did not compress successfully! [ %d BYTE(S) OVER ]",
                                   address, int(core::ExcessBytes(code))));
    } else {
        const char* what = code == core::kCompressReadBackFailed ? "did not decompress back to the new text"
                                                                 : "has a damaged header in the ROM";
        progress.addLogLine("; All text was converted, but...");
        progress.addLogLine(format("; Error: \".BLOCK %X\" %s!", address, what));
        progress.addLogLine("; Nothing was written to the ROM.");
    }
    progress.addLogLine(kLogRule);
}

}  // namespace

std::string MissingEntryPlaceholder(int stringNumber) { return format("Error String: %3d", stringNumber); }

InsertionResult InsertScript(core::RomImage& rom, core::BlockBuffer& buffer, const InsertionBlock& info,
                             uint32_t& endOfRoom, ScriptText& script, const TableFile& table,
                             std::span<uint8_t> preview, InsertionProgress& progress) {
    if (!rom.loaded()) return {};
    if (!table.hasName()) return refusal(InsertionOutcome::NoTable, "Error: Must load a table file first!");
    // The layout starts at string 0's old text; a block without strings has nothing to lay out.
    if (info.stringCount == 0) {
        return refusal(InsertionOutcome::NoStrings, "Error: This block has no strings to insert.");
    }

    const std::span<uint8_t> block = lowerHalf(buffer);
    // The records and their terminator must lie inside the block; more cannot come from a real
    // block, and reading them would run off the buffer.
    if (RecordOffset(info.stringCount) + kRecordSize > block.size()) {
        return refusal(InsertionOutcome::NoStrings, "Error: This block has more string records than fit in it.");
    }
    progress.start();
    progress.setGaugeRange(0, int(info.stringCount) - 1);
    const std::vector<std::string> workingList = buildWorkingList(block, info, progress);

    if (endOfRoom == 0) {
        const auto found = searchEndOfRoom(rom.data(), block, workingList.back());
        if (!found) {
            return refusal(InsertionOutcome::EndOfTextNotFound,
                           "Error: Could not find \"End of Text\".       You can manually set the \"End of "
                           "Text\" like so       in the Format text file. \".ENDBLOCK $offset\".");
        }
        endOfRoom = *found;
    }

    progress.setCaption("Converting Text...");
    std::vector<Entry> entries(workingList.size());
    for (size_t j = 0; j < workingList.size(); ++j) {
        step(progress, int(j));
        Entry& entry = entries[j];
        if (!readWorkingLine(workingList[j], entry.oldOffset, entry.record)) {
            return refusal(InsertionOutcome::PointerError,
                           "Error: Poiner calculation error. Must redo \"TEXT CONVERSION\" routine.");
        }
        if (RecordType(block, entry.record) == kTextRecordType) {
            const EncodeResult encoded = EncodeScriptString(int(entry.record), script, table, preview, &progress);
            if (encoded.status == EncodeStatus::TooLong) {
                return layoutRefusal(progress, info,
                                     format("the text of string %d is longer than a block can hold.",
                                            int(entry.record)));
            }
            if (encoded.status == EncodeStatus::EntryMissing) {
                const std::string placeholder = MissingEntryPlaceholder(int(j));
                entry.data.assign(placeholder.begin(), placeholder.end());
            } else {
                entry.data.assign(preview.begin(), preview.begin() + encoded.length);
            }
        } else {
            // Data of a record without text runs to the next record's text, or to the block's end.
            const int64_t next = j + 1 < workingList.size()
                                     ? int64_t{RecordTextPointer(block, entry.record + 1)}
                                     : int64_t{info.length};
            const int64_t length = next - int64_t{entry.oldOffset};
            if (length < 1 || next > int64_t(block.size())) {
                return refusal(InsertionOutcome::PointerError,
                               "Error: Poiner calculation error. Must redo \"TEXT CONVERSION\" routine.");
            }
            entry.data.assign(block.begin() + entry.oldOffset, block.begin() + entry.oldOffset + length);
        }
    }

    // Records that pointed at the same old text keep sharing one copy: the first one's.
    progress.setCaption("Sorting Pointers...");
    for (size_t j = 0; j < entries.size(); ++j) {
        step(progress, int(j));
        for (size_t earlier = 0; earlier < j; ++earlier) {
            if (!entries[earlier].sharedWith && entries[earlier].oldOffset == entries[j].oldOffset) {
                entries[j].sharedWith = earlier;
                entries[j].data.clear();
                break;
            }
        }
    }

    // Check the whole layout before anything is written: the block's length is a 16-bit word
    // (kept even by the compressor), and the records must stay in front of the text.
    const uint32_t layoutStart = entries.front().oldOffset;
    uint64_t layoutEnd = layoutStart;
    for (const Entry& entry : entries) layoutEnd += entry.data.size();
    if (layoutStart < uint32_t{info.stringCount} * kRecordSize + 2) {
        return layoutRefusal(progress, info, "string 0's text lies inside the string records.");
    }
    if (layoutEnd > core::kMaxBlockFileSize) {
        return layoutRefusal(progress, info,
                             format("the new block needs %u bytes, more than the %u a block can hold.",
                                    unsigned(layoutEnd), unsigned{core::kMaxBlockFileSize}));
    }

    progress.setCaption("Inserting Text...");
    uint32_t write = layoutStart;
    for (size_t j = 0; j < entries.size(); ++j) {
        step(progress, int(j));
        Entry& entry = entries[j];
        const size_t pointerAt = RecordOffset(entry.record) + kRecordTextPointerOffset;
        if (entry.sharedWith) {
            core::writeLe16(block, pointerAt, static_cast<uint16_t>(entries[*entry.sharedWith].newOffset));
        } else {
            std::copy(entry.data.begin(), entry.data.end(), block.begin() + write);
            core::writeLe16(block, pointerAt, static_cast<uint16_t>(write));
            entry.newOffset = write;
            write += static_cast<uint32_t>(entry.data.size());
        }
        step(progress, int(entries.size()));
    }

    InsertionResult result;
    result.newLength = write;
    const uint32_t code = core::CompressBlock(rom.data(), info.blockAddress, endOfRoom, write,
                                              std::span<const uint8_t>(buffer));
    logOutcome(progress, info, code);
    if (code == core::kCompressWritten) {
        result.outcome = InsertionOutcome::Inserted;
        rom.setModified(true);
        const auto data = rom.data();
        if (info.index < data.size()) data[data.size() - 1 - info.index] = static_cast<uint8_t>(info.index & 0xFF);
    } else if (core::IsTooLarge(code)) {
        result.outcome = InsertionOutcome::DoesNotFit;
        result.excessBytes = core::ExcessBytes(code);
    } else if (code == core::kCompressReadBackFailed) {
        result.outcome = InsertionOutcome::NoReadBack;
    } else {
        result.outcome = InsertionOutcome::BadOldHeader;
    }
    return result;
}

}  // namespace corv::script
