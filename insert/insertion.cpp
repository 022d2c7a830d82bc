#include "insert/insertion.h"

#include <cstdio>
#include <vector>

#include "core/block_encoder.h"
#include "script/string_decoder.h"
#include "script/string_record.h"

namespace corv::insert {
namespace {

constexpr const char* kLogRule = kInsertionLogRule;

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
        lines.push_back(format("%08X  %3d", unsigned{script::RecordTextPointer(block, i)}, int(i)));
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

// What the compression came to: the final code, and for a block the maximising compressor was
// tried on after the standard one was over, how far over that one was.
struct Compression {
    uint32_t code = core::kCompressWritten;
    bool maximised = false;
    uint32_t standardExcess = 0;
};

Compression compressBlock(core::RomImage& rom, const core::BlockBuffer& buffer, const InsertionBlock& info,
                          uint32_t endOfRoom, uint32_t length) {
    const auto run = [&](core::Compressor compressor) {
        return core::CompressBlock(rom.data(), info.blockAddress, endOfRoom, length, std::span<const uint8_t>(buffer),
                                   compressor);
    };
    if (info.compressor == InsertionCompressor::Maximising) return {run(core::Compressor::Maximising), true, 0};
    Compression result{run(core::Compressor::Standard), false, 0};
    if (info.compressor == InsertionCompressor::MaximisingWhenOver && core::IsTooLarge(result.code)) {
        result.standardExcess = core::ExcessBytes(result.code);
        result.code = run(core::Compressor::Maximising);
        result.maximised = true;
    }
    return result;
}

void logCompressor(InsertionProgress& progress, const InsertionBlock& info, const Compression& compression) {
    switch (info.compressor) {
    case InsertionCompressor::Standard: return;
    case InsertionCompressor::Maximising:
        progress.addLogLine("; Compressed with the maximising compressor (--maximise).");
        return;
    case InsertionCompressor::MaximisingWhenOver:
        if (!compression.maximised) {
            progress.addLogLine("; Fit Harder When Over: the standard compressor wrote the block.");
        } else if (compression.code == core::kCompressWritten) {
            progress.addLogLine(format("; Fit Harder When Over: %d byte(s) over with the standard compressor; the "
                                       "maximising compressor wrote the block.",
                                       int(compression.standardExcess)));
        } else {
            progress.addLogLine(format("; Fit Harder When Over: %d byte(s) over with the standard compressor, "
                                       "still over with the maximising one.",
                                       int(compression.standardExcess)));
        }
        return;
    }
}

void logOutcome(InsertionProgress& progress, const InsertionBlock& info, const Compression& compression) {
    const uint32_t code = compression.code;
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
    if (code == core::kCompressWritten || core::IsTooLarge(code)) logCompressor(progress, info, compression);
    progress.addLogLine(kLogRule);
}

}  // namespace

InsertionResult InsertScript(core::RomImage& rom, core::BlockBuffer& buffer, const InsertionBlock& info,
                             uint32_t& endOfRoom, script::ScriptText& script, const script::TableFile& table,
                             std::span<uint8_t> preview, InsertionProgress& progress) {
    if (!rom.loaded()) return {};
    if (!table.hasName()) return refusal(InsertionOutcome::NoTable, "Error: Must load a table file first!");
    // The layout starts at string 0's old text; a block without strings has nothing to lay out.
    if (info.stringCount == 0) {
        return refusal(InsertionOutcome::NoStrings, "Error: This block has no strings to insert.");
    }

    const std::span<uint8_t> block = buffer.lower();
    // The records and their terminator must lie inside the block; more cannot come from a real
    // block, and reading them would run off the buffer.
    if (script::RecordOffset(info.stringCount) + script::kRecordSize > block.size()) {
        return refusal(InsertionOutcome::NoStrings, "Error: This block has more string records than fit in it.");
    }
    progress.start();
    progress.setGaugeRange(0, int(info.stringCount) - 1);
    const std::vector<std::string> workingList = buildWorkingList(block, info, progress);

    if (endOfRoom == 0) {
        const auto found = SearchEndOfRoom(rom.data(), block, info.stringCount - 1u);
        if (!found) {
            return refusal(InsertionOutcome::EndOfTextNotFound,
                           "Error: Could not find \"End of Text\".       You can manually set the \"End of "
                           "Text\" like so       in the Format text file. \".ENDBLOCK $offset\".");
        }
        endOfRoom = *found;
    }

    progress.setCaption("Converting Text...");
    std::vector<LayoutEntry> entries(workingList.size());
    std::vector<int> missingEntries;
    std::vector<int> standIns;
    // The stand-ins are read from the old block, which the layout below overwrites only later.
    const std::span<const uint8_t> standInsFrom =
        info.untranslated == UntranslatedEntries::StandIn ? std::span<const uint8_t>(block) : std::span<const uint8_t>();
    for (size_t j = 0; j < workingList.size(); ++j) {
        step(progress, int(j));
        LayoutEntry& entry = entries[j];
        if (!readWorkingLine(workingList[j], entry.oldOffset, entry.record)) {
            return refusal(InsertionOutcome::PointerError,
                           "Error: Poiner calculation error. Must redo \"TEXT CONVERSION\" routine.");
        }
        const EntryDataStatus status =
            script::RecordType(block, entry.record) == script::kTextRecordType
                ? EncodeTextEntry(entry, j, script, table, preview, &progress, standInsFrom)
                : CarryRecordData(entry, block, j + 1 == workingList.size(), info.length);
        if (status == EntryDataStatus::TextTooLong) {
            return layoutRefusal(progress, info, TextTooLongReason(entry.record));
        }
        if (status == EntryDataStatus::PointerError) {
            return refusal(InsertionOutcome::PointerError,
                           "Error: Poiner calculation error. Must redo \"TEXT CONVERSION\" routine.");
        }
        if (status == EntryDataStatus::Placeholder) missingEntries.push_back(int(entry.record));
        if (status == EntryDataStatus::StandIn) standIns.push_back(int(entry.record));
    }

    progress.setCaption("Sorting Pointers...");
    for (size_t j = 0; j < entries.size(); ++j) {
        step(progress, int(j));
        ShareOldText(entries, j);
    }

    // The whole layout is checked before anything is written.
    if (const auto problem = LayoutProblem(entries, info.stringCount)) return layoutRefusal(progress, info, *problem);

    progress.setCaption("Inserting Text...");
    uint32_t write = entries.front().oldOffset;
    for (size_t j = 0; j < entries.size(); ++j) {
        step(progress, int(j));
        write = LayOutEntry(entries, j, write, block);
        step(progress, int(entries.size()));
    }

    InsertionResult result;
    result.newLength = write;
    result.missingEntries = std::move(missingEntries);
    result.standIns = std::move(standIns);
    const Compression compression = compressBlock(rom, buffer, info, endOfRoom, write);
    const uint32_t code = compression.code;
    logOutcome(progress, info, compression);
    if (code == core::kCompressWritten) {
        result.outcome = InsertionOutcome::Inserted;
        rom.setModified(true);
        const auto data = rom.data();
        if (const auto mark = script::InsertedMarkOffset(data.size(), info.index)) {
            data[*mark] = static_cast<uint8_t>(info.index & 0xFF);
        }
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

}  // namespace corv::insert
