#include "preview/golden_cases.h"

#include <memory>
#include <optional>

#include "core/address.h"
#include "core/block_decoder.h"
#include "preview/string_preview.h"
#include "script/block_data_file.h"
#include "script/script_text.h"
#include "tools/demo/demo_game.h"

namespace corv::preview::golden {
namespace {

using script::TextBoxColour;
using script::TextBoxStyle;

// The first text block of the demo starts with fixed special strings.
constexpr unsigned kAllCodes = 0;     // every control code once
constexpr unsigned kEmpty = 1;        // nothing but the end mark
constexpr unsigned kTwoClears = 2;    // two clear-window codes between lines
constexpr unsigned kPlayer = 3;       // the player's name, three times
constexpr unsigned kLongLine = 4;     // one line longer than the box
constexpr unsigned kNonText = 7;      // a record that is not text

// A script with an entry for every special string; string 3 has no entry here.
constexpr char kScript[] =
    "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n"
    ".STRING 0\n"
    "[FADEIN]Welcome to Corvane![KEY]\n"
    "The king awaits you, [PLAYER].\n"
    "[PAUSE$05]Caf\xE9 \xE0 la cr\xE8me, 42 coins.[CLRWIN]\n"
    "Yes or no?[YES-NO][$34_12][$78_56]\n"
    "{Braces} & (brackets) ~ #1 @ 9:30; \"quotes\" 'too' <ok> | x*y=z_+/\\^`\n"
    ".ENDS\n\n\n\n"
    ".STRING 1\n\n.ENDS\n\n\n\n"
    ".STRING 2\n"
    "First page.[CLRWIN]Second page.[CLRWIN]Third.[KEY]\n"
    ".ENDS\n\n\n\n"
    ".STRING 4\n"
    "A line so long that it cannot fit into the lower box at all.\n"
    ".ENDS\n\n\n\n"
    ".STRING 7\n"
    "Not text.\n"
    ".ENDS\n";

struct GoldenCase {
    const char* name;
    unsigned string;
    void (*adjust)(PreviewOptions&, script::FormatSettings&);
    int kanaScroll = 0;
    int asciiScroll = 0;
    bool inserted = false;  // the block carries its inserted mark
};

void Keep(PreviewOptions&, script::FormatSettings&) {}
void HideCodes(PreviewOptions& m, script::FormatSettings&) { m.hideCodes = true; }
void FixedWidth(PreviewOptions& m, script::FormatSettings&) { m.variableWidth = false; }
void HiddenFixed(PreviewOptions& m, script::FormatSettings&) { m.hideCodes = true; m.variableWidth = false; }
void BlueSolid(PreviewOptions& m, script::FormatSettings&) { m.colour = TextBoxColour::Blue; m.style = TextBoxStyle::Solid; }
void GreenGradient(PreviewOptions& m, script::FormatSettings&) { m.colour = TextBoxColour::Green; m.style = TextBoxStyle::Gradient; }
void GreenSolid(PreviewOptions& m, script::FormatSettings&) { m.colour = TextBoxColour::Green; m.style = TextBoxStyle::Solid; }
void RedGradient(PreviewOptions& m, script::FormatSettings&) { m.colour = TextBoxColour::Red; m.style = TextBoxStyle::Gradient; }
void RedSolid(PreviewOptions& m, script::FormatSettings&) { m.colour = TextBoxColour::Red; m.style = TextBoxStyle::Solid; }
void NoFormat(PreviewOptions&, script::FormatSettings& f) { f = {}; }

// The demo's data file sets a blue gradient box, codes shown and the variable width routine on.
const GoldenCase kCases[] = {
    {"all_codes_shown", kAllCodes, Keep},
    {"all_codes_hidden", kAllCodes, HideCodes},
    {"all_codes_fixed_width", kAllCodes, FixedWidth},
    {"all_codes_hidden_fixed_width", kAllCodes, HiddenFixed},
    {"all_codes_scrolled", kAllCodes, Keep, 16, 16},
    {"empty_string", kEmpty, Keep},
    {"two_clear_windows_hidden", kTwoClears, HideCodes},
    {"two_clear_windows_shown", kTwoClears, Keep},
    {"player_without_script_entry", kPlayer, Keep},
    {"long_line_wraps_at_288", kLongLine, FixedWidth},
    {"long_line_variable_width", kLongLine, Keep},
    {"non_text_data", kNonText, Keep},
    {"hacked_text", kAllCodes, Keep, 0, 0, true},
    {"box_blue_solid", kTwoClears, BlueSolid},
    {"box_green_gradient", kTwoClears, GreenGradient},
    {"box_green_solid", kTwoClears, GreenSolid},
    {"box_red_gradient", kTwoClears, RedGradient},
    {"box_red_solid", kTwoClears, RedSolid},
    {"no_format_defaults", kAllCodes, NoFormat},
};

}  // namespace

std::vector<GoldenPicture> RenderGoldenCases() {
    demo::DemoGame game = demo::BuildDemoGame();
    auto maps = std::make_unique<script::CodeMaps>();
    const script::BlockDataLoad load = script::ParseBlockDataFile(game.blockDataFile, *maps);
    script::DataFileSettings settings;
    script::ApplySettings(settings, load.operations);
    const PreviewOptions options = PreviewOptionsOf(settings);

    const std::vector<uint8_t> font = LoadGameFont(game.rom);
    const uint32_t address = load.blocks.at(0).address;
    auto buffer = std::make_unique<core::BlockBuffer>();
    (void)core::DecompressBlock(game.rom, address, *buffer);
    const std::span<const uint8_t> block = buffer->lower();

    std::vector<uint8_t> markedRom = game.rom;
    markedRom.back() = 0;  // block 0's inserted mark

    script::MemoryScriptText scriptText(kScript);
    std::vector<GoldenPicture> pictures;
    for (const GoldenCase& c : kCases) {
        PreviewOptions caseOptions = options;
        script::FormatSettings caseFormat = load.format;
        c.adjust(caseOptions, caseFormat);

        scriptText.setCaret(0);
        const auto preview = EncodeEntryPreview(scriptText, c.string, script::CharacterMap{});
        StringPreviewInput input;
        input.romData = c.inserted ? markedRom : game.rom;
        input.gameFont = font;
        input.block = block;
        input.blockIndex = 0;
        input.stringIndex = c.string;
        if (preview) {
            input.previewBytes = std::span<const uint8_t>(*preview);
        }
        input.kanaScroll = c.kanaScroll;
        input.asciiScroll = c.asciiScroll;

        GoldenPicture picture{c.name, PreviewScreen{}};
        RenderStringPreview(picture.screen, input, caseOptions, caseFormat);
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

uint64_t PictureHash(const PreviewScreen& screen) {
    uint64_t hash = 0xcbf29ce484222325ull;
    const auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    };
    for (uint32_t value : {screen.width(), screen.height()}) {
        for (int shift = 0; shift < 32; shift += 8) {
            mix(static_cast<uint8_t>(value >> shift));
        }
    }
    for (Pixel pixel : screen.bitmap()) {
        mix(static_cast<uint8_t>(pixel));
        mix(static_cast<uint8_t>(pixel >> 8));
    }
    return hash;
}

}  // namespace corv::preview::golden
