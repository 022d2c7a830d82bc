#include "script/check/block_fit.h"

#include "core/block_encoder.h"
#include "script/string_record.h"

namespace corv::script::check {
namespace {

std::span<uint8_t> lowerHalf(core::BlockBuffer& buffer) { return std::span<uint8_t>(buffer).first(core::kBlockHalfSize); }

class LogLines final : public LogSink {
public:
    explicit LogLines(std::vector<std::string>& lines) : lines_(lines) {}
    void addLogLine(const std::string& line) override { lines_.push_back(line); }

private:
    std::vector<std::string>& lines_;
};

}  // namespace

BlockFit::BlockFit(std::span<const uint8_t> romData, const core::BlockBuffer& buffer, const InsertionBlock& block,
                   uint32_t endOfRoom)
    : romData_(romData),
      base_(std::make_unique<core::BlockBuffer>(buffer)),
      work_(std::make_unique<core::BlockBuffer>()),
      block_(block),
      endOfRoom_(endOfRoom),
      scratch_(kPreviewByteBufferSize) {
    const std::span<const uint8_t> old = lowerHalf(*base_);
    // The same refusals as the insertion, in its order.
    if (block.stringCount == 0 || RecordOffset(block.stringCount) + kRecordSize > old.size()) {
        blockProblem_ = InsertionOutcome::NoStrings;
        return;
    }
    if (endOfRoom_ == 0) {
        const auto found = SearchEndOfRoom(romData, old, block.stringCount - 1u);
        if (!found) {
            blockProblem_ = InsertionOutcome::EndOfTextNotFound;
            return;
        }
        endOfRoom_ = *found;
    }
    layout_.resize(block.stringCount);
    encoded_.resize(block.stringCount);
    status_.resize(block.stringCount, EntryDataStatus::Ready);
    for (uint32_t j = 0; j < block.stringCount; ++j) {
        LayoutEntry& entry = layout_[j];
        entry.record = j;
        entry.oldOffset = RecordTextPointer(old, j);
        encoded_[j].text = RecordType(old, j) == kTextRecordType;
        if (!encoded_[j].text) status_[j] = CarryRecordData(entry, old, j + 1 == block.stringCount, block.length);
    }
}

BlockFit::~BlockFit() = default;

void BlockFit::encodeText(size_t j, ScriptText& script, const TableFile& table) {
    EncodedEntry& own = encoded_[j];
    LayoutEntry& entry = layout_[j];
    own.log.clear();
    LogLines log(own.log);
    ++encodings_;
    status_[j] = EncodeTextEntry(entry, j, script, table, scratch_, &log);
    own.missing = status_[j] == EntryDataStatus::Placeholder;
    own.bytes = entry.data;
    if (entry.sharedWith || status_[j] == EntryDataStatus::TextTooLong) entry.data.clear();
}

void BlockFit::encodeAll(ScriptText& script, const TableFile& table) {
    for (size_t j = 0; j < layout_.size(); ++j) {
        if (encoded_[j].text) encodeText(j, script, table);
    }
    for (size_t j = 0; j < layout_.size(); ++j) ShareOldText(layout_, j);
}

void BlockFit::updateEntry(unsigned stringNumber, ScriptText& script, const TableFile& table) {
    if (stringNumber < layout_.size() && encoded_[stringNumber].text) encodeText(stringNumber, script, table);
}

FitFigures BlockFit::figures(core::Compressor compressor) {
    FitFigures figures;
    figures.outcome = blockProblem_;
    if (blockProblem_ != InsertionOutcome::Inserted) return figures;
    // The insertion stops at the first record it cannot convert.
    for (size_t j = 0; j < status_.size(); ++j) {
        if (status_[j] == EntryDataStatus::PointerError) {
            figures.outcome = InsertionOutcome::PointerError;
            return figures;
        }
        if (status_[j] == EntryDataStatus::TextTooLong) {
            figures.outcome = InsertionOutcome::LayoutTooLarge;
            figures.problem = TextTooLongReason(layout_[j].record);
            return figures;
        }
    }
    if (const auto problem = LayoutProblem(layout_, block_.stringCount)) {
        figures.outcome = InsertionOutcome::LayoutTooLarge;
        figures.problem = *problem;
        return figures;
    }
    *work_ = *base_;
    figures.layoutLength = LayOutEntries(layout_, lowerHalf(*work_));
    const core::CompressionMeasure measure = core::MeasureBlockCompression(
        romData_, block_.blockAddress, endOfRoom_, figures.layoutLength, std::span<const uint8_t>(*work_), compressor);
    figures.needed = measure.needed;
    figures.room = measure.room;
    if (measure.code == core::kCompressWritten) {
        figures.outcome = InsertionOutcome::Inserted;
    } else if (core::IsTooLarge(measure.code)) {
        figures.outcome = InsertionOutcome::DoesNotFit;
    } else {
        figures.outcome = InsertionOutcome::BadOldHeader;
    }
    return figures;
}

}  // namespace corv::script::check
