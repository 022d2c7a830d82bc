#include "check/block_fit.h"

#include "core/block_encoder.h"
#include "script/string_record.h"

namespace corv::check {
namespace {


class LogLines final : public script::LogSink {
public:
    explicit LogLines(std::vector<std::string>& lines) : lines_(lines) {}
    void addLogLine(const std::string& line) override { lines_.push_back(line); }

private:
    std::vector<std::string>& lines_;
};

}  // namespace

BlockFit::BlockFit(std::span<const uint8_t> romData, const core::BlockBuffer& buffer, const script::TextBlockInfo& block,
                   uint32_t endOfRoom, insert::UntranslatedEntries untranslated)
    : romData_(romData),
      base_(std::make_unique<core::BlockBuffer>(buffer)),
      work_(std::make_unique<core::BlockBuffer>()),
      block_(block),
      endOfRoom_(endOfRoom),
      untranslated_(untranslated),
      scratch_(script::kPreviewByteBufferSize) {
    const std::span<const uint8_t> old = base_->lower();
    // The same refusals as the insertion, in its order.
    if (block.stringCount == 0 || script::RecordOffset(block.stringCount) + script::kRecordSize > old.size()) {
        blockProblem_ = insert::InsertionOutcome::NoStrings;
        return;
    }
    if (endOfRoom_ == 0) {
        const auto found = insert::SearchEndOfRoom(romData, old, block.stringCount - 1u);
        if (!found) {
            blockProblem_ = insert::InsertionOutcome::EndOfTextNotFound;
            return;
        }
        endOfRoom_ = *found;
    }
    layout_.resize(block.stringCount);
    encoded_.resize(block.stringCount);
    status_.resize(block.stringCount, insert::EntryDataStatus::Ready);
    for (uint32_t j = 0; j < block.stringCount; ++j) {
        insert::LayoutEntry& entry = layout_[j];
        entry.record = j;
        entry.oldOffset = script::RecordTextPointer(old, j);
        encoded_[j].text = script::RecordType(old, j) == script::kTextRecordType;
        if (!encoded_[j].text) status_[j] = insert::CarryRecordData(entry, old, j + 1 == block.stringCount, block.length);
    }
}

BlockFit::~BlockFit() = default;

void BlockFit::encodeText(size_t j, script::ScriptText& script, const script::TableFile& table) {
    EncodedEntry& own = encoded_[j];
    insert::LayoutEntry& entry = layout_[j];
    own.log.clear();
    LogLines log(own.log);
    ++encodings_;
    const std::span<const uint8_t> standInsFrom =
        untranslated_ == insert::UntranslatedEntries::StandIn ? base_->lower() : std::span<const uint8_t>();
    status_[j] = insert::EncodeTextEntry(entry, j, script, table, scratch_, &log, standInsFrom);
    own.missing = status_[j] == insert::EntryDataStatus::Placeholder;
    own.standIn = status_[j] == insert::EntryDataStatus::StandIn;
    own.holdsText = entry.holdsText;
    own.bytes = entry.data;
    if (entry.sharedWith || status_[j] == insert::EntryDataStatus::TextTooLong) entry.data.clear();
}

void BlockFit::encodeAll(script::ScriptText& script, const script::TableFile& table) {
    for (size_t j = 0; j < layout_.size(); ++j) {
        if (encoded_[j].text) encodeText(j, script, table);
    }
    for (size_t j = 0; j < layout_.size(); ++j) insert::ShareOldText(layout_, j);
}

void BlockFit::updateEntry(unsigned stringNumber, script::ScriptText& script, const script::TableFile& table) {
    if (stringNumber < layout_.size() && encoded_[stringNumber].text) encodeText(stringNumber, script, table);
}

FitFigures BlockFit::figures(core::Compressor compressor) {
    FitFigures figures;
    figures.outcome = blockProblem_;
    if (blockProblem_ != insert::InsertionOutcome::Inserted) return figures;
    // The insertion stops at the first record it cannot convert.
    for (size_t j = 0; j < status_.size(); ++j) {
        if (status_[j] == insert::EntryDataStatus::PointerError) {
            figures.outcome = insert::InsertionOutcome::PointerError;
            return figures;
        }
        if (status_[j] == insert::EntryDataStatus::TextTooLong) {
            figures.outcome = insert::InsertionOutcome::LayoutTooLarge;
            figures.problem = insert::TextTooLongReason(layout_[j].record);
            return figures;
        }
    }
    if (const auto problem = insert::LayoutProblem(layout_, block_.stringCount)) {
        figures.outcome = insert::InsertionOutcome::LayoutTooLarge;
        figures.problem = *problem;
        return figures;
    }
    *work_ = *base_;
    figures.layoutLength = insert::LayOutEntries(layout_, work_->lower());
    const core::CompressionMeasure measure = core::MeasureBlockCompression(
        romData_, block_.blockAddress, endOfRoom_, figures.layoutLength, std::span<const uint8_t>(*work_), compressor);
    figures.needed = measure.needed;
    figures.room = measure.room;
    if (measure.code == core::kCompressWritten) {
        figures.outcome = insert::InsertionOutcome::Inserted;
    } else if (core::IsTooLarge(measure.code)) {
        figures.outcome = insert::InsertionOutcome::DoesNotFit;
    } else {
        figures.outcome = insert::InsertionOutcome::BadOldHeader;
    }
    return figures;
}

}  // namespace corv::check
