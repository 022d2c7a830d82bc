#include "script/block_data_file.h"

#include <cstdio>

#include "core/address.h"
#include "script/code_table.h"
#include "script/text_lines.h"

namespace corv::script {

namespace {

// A read takes at most 255 characters; a longer line arrives as several pieces.
constexpr size_t kDataPieceLength = 255;

// Directive keywords compared ignoring case over their first `match` characters.
struct Directive {
    std::string_view keyword;
    size_t match;
};
constexpr Directive kTextbox{".textbox", 8};
constexpr Directive kFont{".Font", 5};
constexpr Directive kTransText{".TransText", 10};
constexpr Directive kControlCodes{".CONTROLCODES", 13};
constexpr Directive kVwf{".VWF", 4};
constexpr Directive kTextWindow{".TextWindow", 11};
constexpr Directive kHexWindow{".HexWindow", 10};
constexpr Directive kKanaWindow{".KanaWindow", 11};
constexpr Directive kFormat{".FORMAT", 7};
constexpr Directive kBlock{".BLOCK", 6};
constexpr Directive kEndBlock{".ENDBLOCK", 9};
constexpr Directive kColourTable{".COLORTABLE", 6};
constexpr Directive kCodeTable{".TABLE", 6};

bool matches(std::string_view line, const Directive& directive) {
    return StartsWithIgnoringCase(line, directive.keyword.substr(0, directive.match));
}

// The text after the first word of the line.
std::string_view afterFirstWord(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    return line.substr(i);
}

// The directive's value: its second word, or, when there is none, the directive word itself.
std::string_view valueOf(std::string_view line) {
    const auto words = SplitWords(line);
    if (words.size() >= 2) return words[1];
    return words.empty() ? std::string_view{} : words[0];
}

uint32_t hexAddress(std::string_view text) {
    const auto scanned = ScanHexNumber(text);
    if (!scanned) return 0;
    return static_cast<uint32_t>(scanned->value > 0xFFFFFFFF ? 0xFFFFFFFF : scanned->value);
}

class DataFileParser {
public:
    DataFileParser(std::string_view text, CodeMaps& maps, BlockDataLoad& result) : maps_(maps), result_(result) {
        ForEachLinePiece(text, kDataPieceLength, [this](std::string_view piece) { pieces_.push_back(piece); });
    }

    void run() {
        while (next_ < pieces_.size()) handleLine(pieces_[next_++]);
    }

private:
    // Every directive is tried on the line in table order.
    void handleLine(std::string_view line) {
        if (matches(line, kTextbox)) textbox(line);
        if (matches(line, kFont)) {
            if (const auto scanned = ScanHexNumber(afterFirstWord(line))) {
                result_.fontAddress = static_cast<uint32_t>(scanned->value);
            }
        }
        if (matches(line, kTransText) && EqualsIgnoringCase(valueOf(line), "SHOW")) {
            set(PreviewSwitch::ShowTranslation, false);
            toggle(PreviewSwitch::ShowTranslation);
        }
        // The toggle inverts the value set here, so HIDE ends hidden and ON ends in use.
        if (matches(line, kControlCodes)) {
            set(PreviewSwitch::HideCodes, !EqualsIgnoringCase(valueOf(line), "HIDE"));
            toggle(PreviewSwitch::HideCodes);
        }
        if (matches(line, kVwf)) {
            set(PreviewSwitch::VariableWidth, !EqualsIgnoringCase(valueOf(line), "ON"));
            toggle(PreviewSwitch::VariableWidth);
        }
        if (matches(line, kTextWindow)) showView(DataFileView::ScriptText, line);
        if (matches(line, kHexWindow)) showView(DataFileView::HexData, line);
        if (matches(line, kKanaWindow)) showView(DataFileView::KanaText, line);
        if (matches(line, kFormat)) format(line);
        if (matches(line, kBlock)) block(line);
        if (matches(line, kEndBlock)) endBlock(line);
        if (matches(line, kColourTable)) section(".ENDCOLOR", [this](std::string_view l) { ApplyColourLine(l, maps_); });
        if (matches(line, kCodeTable)) section(".ENDTABLE", [this](std::string_view l) { ApplyCodeTableLine(l, maps_); });
    }

    void textbox(std::string_view line) {
        // Sub-keywords are case-sensitive and applied in this order, so within one line red
        // beats green beats blue and gradient beats solid.
        constexpr std::pair<std::string_view, TextBoxColour> kColours[] = {
            {".color.blue", TextBoxColour::Blue}, {".color.green", TextBoxColour::Green}, {".color.red", TextBoxColour::Red}};
        constexpr std::pair<std::string_view, TextBoxStyle> kStyles[] = {
            {".solid", TextBoxStyle::Solid}, {".gradient", TextBoxStyle::Gradient}};
        for (const auto& [word, colour] : kColours) {
            if (line.find(word) != std::string_view::npos) {
                SettingOperation op;
                op.kind = SettingOperation::Kind::ChooseColour;
                op.colour = colour;
                result_.operations.push_back(op);
            }
        }
        for (const auto& [word, style] : kStyles) {
            if (line.find(word) != std::string_view::npos) {
                SettingOperation op;
                op.kind = SettingOperation::Kind::ChooseStyle;
                op.style = style;
                result_.operations.push_back(op);
            }
        }
    }

    void set(PreviewSwitch setting, bool value) {
        SettingOperation op;
        op.kind = SettingOperation::Kind::Set;
        op.setting = setting;
        op.value = value;
        result_.operations.push_back(op);
    }
    void toggle(PreviewSwitch setting) {
        SettingOperation op;
        op.kind = SettingOperation::Kind::Toggle;
        op.setting = setting;
        result_.operations.push_back(op);
    }
    void showView(DataFileView view, std::string_view line) {
        SettingOperation op;
        op.kind = SettingOperation::Kind::ShowView;
        op.view = view;
        op.value = !EqualsIgnoringCase(valueOf(line), "hide");
        result_.operations.push_back(op);
    }

    void format(std::string_view line) {
        // Up to nine decimal numbers; the first that cannot be read ends the line, and the
        // fields after it keep their values.
        FormatSettings& settings = result_.format;
        std::string_view rest = afterFirstWord(line);
        for (int field = 0; field < 9; ++field) {
            const auto scanned = ScanDecimalNumber(rest);
            if (!scanned) break;
            rest.remove_prefix(scanned->consumed);
            if (field == 0) {
                settings.boxWidthCount = static_cast<uint16_t>(scanned->value);
            } else {
                settings.bytes[static_cast<size_t>(field - 1)] = static_cast<uint8_t>(scanned->value);
            }
        }
        settings.boxWidth = static_cast<uint16_t>(settings.boxWidthCount * settings.boxWidthFactor());
        result_.formatRead = true;
    }

    void block(std::string_view line) {
        if (result_.blocks.size() >= kMaxBlocks) {
            ++result_.ignoredBlocks;
            return;
        }
        const uint32_t address = hexAddress(afterFirstWord(line));
        char listLine[24];
        std::snprintf(listLine, sizeof listLine, "Block %X", address);
        result_.blocks.push_back({address, listLine});
    }

    // Sets the room's end of the block listed last; a line before any .BLOCK names no block.
    void endBlock(std::string_view line) {
        if (result_.blocks.empty() || result_.ignoredBlocks > 0) return;
        // "$offset" as the insertion's message writes it, or a number as .BLOCK reads it.
        std::string_view value = afterFirstWord(line);
        while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
        if (!value.empty() && value.front() == '$') value.remove_prefix(1);
        const auto scanned = ScanHexNumber(value);
        if (!scanned) return;
        result_.blocks.back().endOfRoom = core::AddressToRomOffset(static_cast<uint32_t>(scanned->value & 0xFFFFFF));
    }

    // Consumes the section's lines up to the one containing `end` (case-sensitive) or the end
    // of the file.
    template <typename Handle>
    void section(std::string_view end, Handle handle) {
        while (next_ < pieces_.size()) {
            const std::string_view line = pieces_[next_++];
            if (line.find(end) != std::string_view::npos) return;
            handle(line);
        }
    }

    CodeMaps& maps_;
    BlockDataLoad& result_;
    std::vector<std::string_view> pieces_;
    size_t next_ = 0;
};

}  // namespace

CodeMaps::CodeMaps() : bytes_(256), words_(65536) {}

void CodeMaps::reset() {
    for (auto* map : {&bytes_, &words_}) {
        for (CodeEntry& entry : *map) entry = CodeEntry{};
    }
}

void ApplySettings(DataFileSettings& settings, std::span<const SettingOperation> operations) {
    auto value = [&settings](PreviewSwitch setting) -> bool& {
        switch (setting) {
            case PreviewSwitch::HideCodes: return settings.hideCodes;
            case PreviewSwitch::VariableWidth: return settings.variableWidth;
            case PreviewSwitch::ShowTranslation: break;
        }
        return settings.showTranslation;
    };
    for (const SettingOperation& op : operations) {
        switch (op.kind) {
            case SettingOperation::Kind::ChooseColour: settings.colour = op.colour; break;
            case SettingOperation::Kind::ChooseStyle: settings.style = op.style; break;
            case SettingOperation::Kind::Set: value(op.setting) = op.value; break;
            case SettingOperation::Kind::Toggle: value(op.setting) = !value(op.setting); break;
            case SettingOperation::Kind::ShowView:
                switch (op.view) {
                    case DataFileView::ScriptText: settings.scriptTextShown = op.value; break;
                    case DataFileView::HexData: settings.hexDataShown = op.value; break;
                    case DataFileView::KanaText: settings.kanaTextShown = op.value; break;
                }
                break;
        }
    }
}

BlockDataLoad ParseBlockDataFile(std::string_view text, CodeMaps& maps, const FormatSettings& current) {
    BlockDataLoad result;
    result.format = current;
    DataFileParser(text, maps, result).run();
    return result;
}

std::optional<BlockDataLoad> LoadBlockDataFile(const std::filesystem::path& path, CodeMaps& maps,
                                               const FormatSettings& current) {
    const auto text = ReadTextFile(path);
    if (!text) return std::nullopt;
    return ParseBlockDataFile(*text, maps, current);
}

}  // namespace corv::script
