#include "check/box_lines.h"

#include <array>
#include <span>

#include "preview/glyph.h"
#include "script/preview_encoder.h"
#include "script/string_decoder.h"

namespace corv::check {
namespace {

// The glyph size of the lower box when a string is chosen, and of labels.
constexpr unsigned kRows = 16;
constexpr unsigned kColumns = 8;

class RowMeasure {
public:
    RowMeasure(bool variableWidth, const script::CharacterMap& characters)
        : variableWidth_(variableWidth), characters_(characters) {}

    void run(std::span<const script::PreviewStep> steps, bool label) {
        for (const script::PreviewStep& step : steps) {
            switch (step.kind) {
            case script::StepKind::Glyph: {
                const auto byte = static_cast<uint8_t>(step.code);
                const auto cell = label ? preview::TranslationCell(byte) : preview::ShownCell(byte, characters_);
                const unsigned measured =
                    preview::MeasureCell(label ? cell : preview::CentreCell(cell, kColumns), kRows, kColumns);
                rows_.back() = preview::AdvanceAfter(rows_.back(), measured, variableWidth_ || label);
                break;
            }
            case script::StepKind::Label: {
                const std::span<const uint8_t> stream(reinterpret_cast<const uint8_t*>(step.label.data()),
                                                      step.label.size());
                run(script::DecodeByteStreamForPreview(stream, true), true);
                break;
            }
            case script::StepKind::LineBreak: rows_.push_back(0); break;
            case script::StepKind::End: return;
            }
        }
    }
    [[nodiscard]] std::vector<int> rows() const { return rows_; }

private:
    bool variableWidth_;
    const script::CharacterMap& characters_;
    std::vector<int> rows_{0};
};

}  // namespace

std::vector<int> MeasureDrawnLineRows(std::string_view line, const BoxMetrics& box, bool codesShown,
                                      const script::CharacterMap& characters) {
    // The preview encodes an entry copy whose first line is the opening line.
    const std::array<std::string, 2> entry = {std::string(), std::string(line)};
    std::vector<uint8_t> stream(line.size() * 2 + 8);
    const size_t length = script::EncodePreview(entry, stream, characters);
    stream.resize(length);
    RowMeasure measure(box.variableWidth, characters);
    measure.run(script::DecodeByteStreamForPreview(stream, !codesShown), false);
    return measure.rows();
}

std::vector<int> MeasureLineRows(std::string_view line, const BoxMetrics& box, const script::CharacterMap& characters) {
    return MeasureDrawnLineRows(line, box, false, characters);
}

BoxMetrics BoxOfDataFile(const script::BlockDataLoad& dataFile) {
    script::DataFileSettings settings;
    script::ApplySettings(settings, dataFile.operations);
    BoxMetrics box;
    box.variableWidth = settings.variableWidth;
    return box;
}

}  // namespace corv::check
