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
            setChecked(MenuItem::DisplayTranslated, false);
            runCommand(MenuItem::DisplayTranslated);
        }
        // The menu commands invert the mark set here, so HIDE ends hidden and ON ends in use.
        if (matches(line, kControlCodes)) {
            setChecked(MenuItem::HideCodes, !EqualsIgnoringCase(valueOf(line), "HIDE"));
            runCommand(MenuItem::HideCodes);
        }
        if (matches(line, kVwf)) {
            setChecked(MenuItem::UseVwf, !EqualsIgnoringCase(valueOf(line), "ON"));
            runCommand(MenuItem::UseVwf);
        }
        if (matches(line, kTextWindow)) showWindow(EditorWindow::TextEditor, line);
        if (matches(line, kHexWindow)) showWindow(EditorWindow::HexData, line);
        if (matches(line, kKanaWindow)) showWindow(EditorWindow::KanaText, line);
        if (matches(line, kFormat)) format(line);
        if (matches(line, kBlock)) block(line);
        if (matches(line, kEndBlock)) endBlock(line);
        if (matches(line, kColourTable)) section(".ENDCOLOR", [this](std::string_view l) { ApplyColourLine(l, maps_); });
        if (matches(line, kCodeTable)) section(".ENDTABLE", [this](std::string_view l) { ApplyCodeTableLine(l, maps_); });
    }

    void textbox(std::string_view line) {
        // Sub-keywords are case-sensitive and applied in this order, so within one line red
        // beats green beats blue and gradient beats solid.
        constexpr std::pair<std::string_view, MenuItem> kSubKeywords[] = {
            {".color.blue", MenuItem::Blue}, {".color.green", MenuItem::Green}, {".color.red", MenuItem::Red},
            {".solid", MenuItem::Solid},     {".gradient", MenuItem::Gradient},
        };
        for (const auto& [word, item] : kSubKeywords) {
            if (line.find(word) != std::string_view::npos) {
                result_.operations.push_back({EditorOperation::Kind::Select, item, {}, true});
            }
        }
    }

    void setChecked(MenuItem item, bool checked) {
        result_.operations.push_back({EditorOperation::Kind::SetChecked, item, {}, checked});
    }
    void runCommand(MenuItem item) { result_.operations.push_back({EditorOperation::Kind::RunCommand, item, {}, false}); }
    void showWindow(EditorWindow window, std::string_view line) {
        const bool visible = !EqualsIgnoringCase(valueOf(line), "hide");
        result_.operations.push_back({EditorOperation::Kind::ShowWindow, MenuItem::Blue, window, visible});
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

void ApplyOperations(MenuStates& states, std::span<const EditorOperation> operations) {
    auto mark = [&states](MenuItem item) -> bool* {
        switch (item) {
            case MenuItem::HideCodes: return &states.hideCodes;
            case MenuItem::UseVwf: return &states.useVwf;
            case MenuItem::DisplayTranslated: return &states.displayTranslated;
            default: return nullptr;
        }
    };
    for (const EditorOperation& op : operations) {
        switch (op.kind) {
            case EditorOperation::Kind::Select:
                if (op.item == MenuItem::Blue || op.item == MenuItem::Green || op.item == MenuItem::Red) {
                    states.colour = op.item;
                } else if (op.item == MenuItem::Solid || op.item == MenuItem::Gradient) {
                    states.style = op.item;
                }
                break;
            case EditorOperation::Kind::SetChecked:
                if (bool* m = mark(op.item)) *m = op.value;
                break;
            case EditorOperation::Kind::RunCommand:
                if (bool* m = mark(op.item)) *m = !*m;
                break;
            case EditorOperation::Kind::ShowWindow:
                switch (op.window) {
                    case EditorWindow::TextEditor: states.textEditorVisible = op.value; break;
                    case EditorWindow::HexData: states.hexDataVisible = op.value; break;
                    case EditorWindow::KanaText: states.kanaTextVisible = op.value; break;
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
    BlockDataLoad load = ParseBlockDataFile(*text, maps, current);
    load.caption = DataFileCaption(path);
    return load;
}

std::string DataFileCaption(const std::filesystem::path& path) {
    return "Script Editor: Corvane - [" + path.filename().string() + " ]";
}

}  // namespace corv::script
