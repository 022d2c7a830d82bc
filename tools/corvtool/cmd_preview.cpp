// corvtool preview ROM DATAFILE ADDRESS (STRING OUT.png | --all DIR) [--script FILE] [--scale N]:
// draws what the editor's main window shows for a string of a text block (the game's string in
// the upper box, the script entry's translation in the lower one) and writes it as PNG.


#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "tools/corvtool/command.h"
#include "tools/corvtool/png_file.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "preview/preview_screen.h"
#include "preview/string_preview.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/table_argument.h"
#include "script/block_data_file.h"
#include "script/script_file.h"
#include "script/text_block.h"

namespace corv::tool {
namespace {

constexpr unsigned kMaxScale = 16;
// A block index that can never carry the one-byte inserted mark: for blocks the list lacks.
constexpr uint32_t kUnlistedBlock = 0x1000;

struct PreviewArguments {
    std::string rom;
    std::string dataFile;
    uint32_t address = 0;
    std::optional<unsigned> stringIndex;  // one string, or every string with allDirectory
    std::filesystem::path output;
    std::optional<std::filesystem::path> allDirectory;
    std::optional<std::filesystem::path> script;
    std::optional<std::string> table;  // its character map: what the lower box shows
    unsigned scale = 1;
};

bool ParseUnsigned(const std::string& text, unsigned& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc{} && result.ptr == end;
}

std::optional<PreviewArguments> ParseArguments(const std::vector<std::string>& args, std::ostream& err) {
    PreviewArguments parsed;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--script" || arg == "--scale" || arg == "--all" || arg == "--table") {
            if (!hasValue) {
                err << "corvtool preview: " << arg << " needs a value\n";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--script") {
                parsed.script = value;
            } else if (arg == "--table") {
                parsed.table = value;
            } else if (arg == "--all") {
                parsed.allDirectory = value;
            } else if (!ParseUnsigned(value, parsed.scale) || parsed.scale == 0 || parsed.scale > kMaxScale) {
                err << "corvtool preview: --scale takes a whole number from 1 to " << kMaxScale << '\n';
                return std::nullopt;
            }
        } else {
            positional.push_back(arg);
        }
    }
    const size_t expected = parsed.allDirectory ? 3 : 5;
    if (positional.size() != expected) {
        err << "corvtool preview: expected ROM DATAFILE ADDRESS and either STRING OUT.png or --all DIR\n";
        return std::nullopt;
    }
    parsed.rom = positional[0];
    parsed.dataFile = positional[1];
    if (!ParseAddressArgument(positional[2], "preview", err, parsed.address)) return std::nullopt;
    if (!parsed.allDirectory) {
        unsigned index = 0;
        if (!ParseUnsigned(positional[3], index)) {
            err << "corvtool preview: '" << positional[3] << "' is not a string number\n";
            return std::nullopt;
        }
        parsed.stringIndex = index;
        parsed.output = positional[4];
    }
    return parsed;
}

// std::nullopt when the picture cannot be encoded; otherwise how the file was written.
std::optional<core::SaveResult> WritePng(const preview::PreviewScreen& screen, unsigned scale,
                                         const std::filesystem::path& path, const core::SaveOptions& options) {
    const std::vector<uint8_t> png = EncodePng(screen, scale);
    if (png.empty()) return std::nullopt;
    return core::WriteFileSafely(path, png, options);
}

int runPreview(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    const auto parsed = ParseArguments(args, err);
    if (!parsed) return kExitUsage;

    core::RomImage rom;
    if (!OpenGameRom(rom, parsed->rom, "preview", err)) return kExitBadInput;
    auto maps = std::make_unique<script::CodeMaps>();
    const auto load = script::LoadBlockDataFile(parsed->dataFile, *maps);
    if (!load) {
        FileError(err, "preview", parsed->dataFile) << "cannot read this block data file\n";
        return kExitBadInput;
    }
    script::DataFileSettings settings;
    script::ApplySettings(settings, load->operations);
    const preview::PreviewOptions options = preview::PreviewOptionsOf(settings);

    std::optional<script::MemoryScriptText> scriptText;
    if (parsed->script) {
        const auto text = script::LoadScriptFile(*parsed->script);
        if (!text) {
            FileError(err, "preview", parsed->script->string()) << "cannot read this script file\n";
            return kExitBadInput;
        }
        scriptText.emplace(*text);
    }

    script::TableFile table;
    if (parsed->table && !LoadCharacterTable(table, *parsed->table, "preview", err)) return kExitBadInput;

    const uint32_t blockIndex = script::ListedBlockIndex(load->blocks, parsed->address).value_or(kUnlistedBlock);

    const std::vector<uint8_t> font = preview::LoadGameFont(rom.data());
    if (font.empty()) {
        err << "corvtool preview: note: the font block at 060000 fails its check; characters draw blank\n";
    }
    const auto textBlock = OpenTextBlock(rom, *load, parsed->dataFile, parsed->address,
                                         script::BlockListing::Optional, "preview", err);
    if (!textBlock) return kExitBadInput;
    const std::span<const uint8_t> block = textBlock->bytes();
    const std::optional<unsigned> count = textBlock->info.stringCount;
    if (parsed->stringIndex && *parsed->stringIndex >= *count) {
        FileError(err, "preview", parsed->rom) << "block " << HexWord(parsed->address) << " has " << *count
                                               << " strings; there is no string " << *parsed->stringIndex << '\n';
        return kExitBadInput;
    }
    if (parsed->allDirectory) {
        std::error_code ignored;
        std::filesystem::create_directories(*parsed->allDirectory, ignored);
    }

    const unsigned first = parsed->stringIndex.value_or(0);
    const unsigned last = parsed->stringIndex ? first + 1 : *count;
    for (unsigned i = first; i < last; ++i) {
        // Without a script the lower box shows an empty entry, as for a freshly made script file.
        std::vector<uint8_t> previewBytes = {0xFF, 0xFF, 0x00};
        bool entryFound = true;
        if (scriptText) {
            scriptText->setCaret(0);
            auto encoded = preview::EncodeEntryPreview(*scriptText, i, table.characterMap());
            entryFound = encoded.has_value();
            if (encoded) previewBytes = std::move(*encoded);
        }
        preview::StringPreviewInput input;
        input.romData = rom.data();
        input.gameFont = font;
        input.block = block;
        input.blockIndex = blockIndex;
        input.stringIndex = i;
        input.characters = &table.characterMap();
        if (entryFound) input.previewBytes = std::span<const uint8_t>(previewBytes);

        preview::PreviewScreen screen;
        preview::RenderStringPreview(screen, input, options, load->format);

        std::filesystem::path path = parsed->output;
        if (parsed->allDirectory) {
            char name[32];
            std::snprintf(name, sizeof name, "string_%04u.png", i);
            path = *parsed->allDirectory / name;
        }
        const std::optional<core::SaveResult> written = WritePng(screen, parsed->scale, path, {.force = force});
        if (!written) {
            FileError(err, "preview", path.string()) << "cannot encode the picture as PNG\n";
            return kExitBadInput;
        }
        if (!*written) {
            ReportSaveFailure(err, "preview", path.string(), *written);
            return kExitBadInput;
        }
        if (parsed->allDirectory) out << path.string() << '\n';
    }
    return kExitOk;
}

}  // namespace

// The drawing half of the preview command: it runs in its own small program, so that the other
// commands never load the GUI libraries.
extern const Command kPreviewCommand{
    "preview", "ROM DATAFILE ADDRESS (STRING OUT.png | --all DIR) [--script FILE] [--table FILE] [--scale N]",
    "draw the editor's two text boxes for string STRING (or every string) of the text block at ADDRESS (hex) as PNG",
    runPreview};

}  // namespace corv::tool
