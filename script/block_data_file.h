#pragma once
// The block data file: the dot-directive text file that lists the text blocks, sets up the
// preview (box colour and style, code display, variable width, views, text box format) and carries the code table through which
// game characters decode to readable text.
//
// A load is split in two: the code maps are long-lived and a load adds to them in place (a
// second data file overrides what the first defined), while everything else comes back as a
// BlockDataLoad value that the reader applies.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corv::script {

inline constexpr size_t kMaxBlocks = 4096;
inline constexpr uint8_t kDefaultColourIndex = 15;

// One entry of a code map.
struct CodeEntry {
    uint16_t length = 0;        // text bytes the decoder uses; 0 = the entry gives no text
    uint8_t colour = kDefaultColourIndex;
    bool generated = false;     // the text was made by a range line or an empty entry, not read
    std::string text;           // the entry's bytes (Shift-JIS for kana), no terminator
};

// The 8-bit map (256 entries, one-byte codes) and the 16-bit map (65,536 entries, keyed by
// first byte * 256 + second byte in stream order). They start empty: length 0, colour 15.
class CodeMaps {
public:
    CodeMaps();

    [[nodiscard]] const CodeEntry& byteEntry(uint8_t code) const { return bytes_[code]; }
    [[nodiscard]] CodeEntry& byteEntry(uint8_t code) { return bytes_[code]; }
    [[nodiscard]] const CodeEntry& wordEntry(uint16_t key) const { return words_[key]; }
    [[nodiscard]] CodeEntry& wordEntry(uint16_t key) { return words_[key]; }

    [[nodiscard]] std::span<CodeEntry> byteMap() { return bytes_; }
    [[nodiscard]] std::span<CodeEntry> wordMap() { return words_; }
    [[nodiscard]] std::span<const CodeEntry> byteMap() const { return bytes_; }
    [[nodiscard]] std::span<const CodeEntry> wordMap() const { return words_; }

    // Back to the start-up state (used by the editor only when the program restarts its tables).
    void reset();

private:
    std::vector<CodeEntry> bytes_;
    std::vector<CodeEntry> words_;
};

// The preview settings and views that directives act on.
enum class TextBoxColour : uint8_t { Blue, Green, Red };
enum class TextBoxStyle : uint8_t { Solid, Gradient };
enum class PreviewSwitch : uint8_t { HideCodes, VariableWidth, ShowTranslation };
enum class DataFileView : uint8_t { ScriptText, HexData, KanaText };

// One change of a setting, replayed in file order. A Toggle inverts the switch the way the
// reader's own command for that switch does; .CONTROLCODES, .VWF and .TransText each set their
// switch and then toggle it, so the value they end with is the opposite of the one set.
struct SettingOperation {
    enum class Kind : uint8_t {
        ChooseColour,  // the box colour becomes `colour`
        ChooseStyle,   // the box style becomes `style`
        Set,           // `setting` becomes `value`
        Toggle,        // `setting` is inverted
        ShowView,      // show (`value` true) or hide `view`
    };
    Kind kind = Kind::ChooseColour;
    TextBoxColour colour = TextBoxColour::Blue;
    TextBoxStyle style = TextBoxStyle::Gradient;
    PreviewSwitch setting = PreviewSwitch::HideCodes;
    DataFileView view = DataFileView::ScriptText;
    bool value = false;
    friend bool operator==(const SettingOperation&, const SettingOperation&) = default;
};

// The settings the operations act on, with their values before any data file.
struct DataFileSettings {
    TextBoxColour colour = TextBoxColour::Blue;
    TextBoxStyle style = TextBoxStyle::Gradient;
    bool hideCodes = false;
    bool variableWidth = false;
    bool showTranslation = false;
    bool scriptTextShown = true;
    bool hexDataShown = false;
    bool kanaTextShown = false;
    friend bool operator==(const DataFileSettings&, const DataFileSettings&) = default;
};

// Replays `operations` on `settings` in order.
void ApplySettings(DataFileSettings& settings, std::span<const SettingOperation> operations);

// The text box format: nine fields of .FORMAT (field 1 16 bits, the others 8 bits).
struct FormatSettings {
    uint16_t boxWidthCount = 0;               // field 1
    std::array<uint8_t, 8> bytes{};           // fields 2 to 9
    uint16_t boxWidth = 0;                    // field 1 * field 5 in 16 bits; 0 = no format set
    [[nodiscard]] uint8_t glyphHeight() const { return bytes[0]; }   // field 2
    [[nodiscard]] uint8_t glyphWidth() const { return bytes[1]; }    // field 3
    [[nodiscard]] uint8_t boxWidthFactor() const { return bytes[3]; }  // field 5
    friend bool operator==(const FormatSettings&, const FormatSettings&) = default;
};

struct BlockEntry {
    uint32_t address = 0;   // 24-bit address as written
    std::string listLine;   // "Block %X"
    // The end of the block's room as a ROM offset, from an ".ENDBLOCK $offset" line after its
    // .BLOCK line (written as a ROM offset or as an address of any bank, like .BLOCK). Without
    // it the room ends where the compressed data end, which an insertion moves down.
    std::optional<uint32_t> endOfRoom = std::nullopt;
    friend bool operator==(const BlockEntry&, const BlockEntry&) = default;
};

// What a load produces besides the code maps.
struct BlockDataLoad {
    std::vector<BlockEntry> blocks;               // in file order, at most kMaxBlocks
    size_t ignoredBlocks = 0;                     // .BLOCK lines beyond kMaxBlocks
    std::vector<SettingOperation> operations;     // setting and view changes, in file order
    FormatSettings format;                        // the settings passed in, as the file left them
    bool formatRead = false;                      // at least one .FORMAT line was read
    std::optional<uint32_t> fontAddress;          // the last readable .Font value
};

// Parses data file text held in memory. `current` is the format as it stands before the load
// (fields a .FORMAT line does not give keep their values).
[[nodiscard]] BlockDataLoad ParseBlockDataFile(std::string_view text, CodeMaps& maps,
                                               const FormatSettings& current = {});

// Reads and parses a data file; std::nullopt when it cannot be read (nothing changes then).
[[nodiscard]] std::optional<BlockDataLoad> LoadBlockDataFile(const std::filesystem::path& path, CodeMaps& maps,
                                                             const FormatSettings& current = {});

// The number syntax of colour values and range bounds: $hex, Xhex, 0xhex, \xhex, 'c (the
// character's signed code), otherwise decimal; nothing readable gives 0.
[[nodiscard]] int64_t ParseDataNumber(std::string_view word);

}  // namespace corv::script
