#include "project/editor_table.h"

#include <toml++/toml.h>

#include <cstdio>
#include <span>
#include <vector>

#include "core/rom_image.h"
#include "project/editor_table_read.h"
#include "project/project_file.h"

namespace corv::project {
namespace {

constexpr char kBlockKey[] = "block";
constexpr char kStringKey[] = "string";
constexpr char kProblemsKey[] = "problems_window";
constexpr char kMarkOverflowKey[] = "mark_overflow";
constexpr char kFontSizeKey[] = "font_size";
constexpr char kWrapWhileTypingKey[] = "wrap_while_typing";

// One line of the file: [begin, end) without its line end.
struct Line {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;  // where the following line begins
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t feed = text.find('\n', at);
        const size_t next = feed == std::string_view::npos ? text.size() : feed + 1;
        size_t end = feed == std::string_view::npos ? text.size() : feed;
        if (end > at && text[end - 1] == '\r') --end;
        lines.push_back({at, end, next});
        at = next;
    }
    return lines;
}

std::string_view trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

// "[editor]", spaces inside the brackets allowed, a comment after it allowed.
bool isEditorHeading(std::string_view line) {
    std::string_view rest = trimmed(line);
    if (rest.empty() || rest.front() != '[' || rest.starts_with("[[")) return false;
    rest = trimmed(rest.substr(1));
    if (!rest.starts_with("editor")) return false;
    rest = trimmed(rest.substr(6));
    if (rest.empty() || rest.front() != ']') return false;
    rest = trimmed(rest.substr(1));
    return rest.empty() || rest.front() == '#';
}

bool isHeading(std::string_view line) { return trimmed(line).starts_with('['); }
bool isBlankOrComment(std::string_view line) {
    const std::string_view rest = trimmed(line);
    return rest.empty() || rest.front() == '#';
}

bool samePath(const ProjectPath& a, const ProjectPath& b) { return a.path == b.path && a.key == b.key; }

// The same project apart from the lines its values stand on and the editor's state.
bool sameProject(const ProjectFile& a, const ProjectFile& b) {
    if (!samePath(a.rom, b.rom) || !samePath(a.dataFile, b.dataFile) || !samePath(a.table, b.table) ||
        !samePath(a.scripts, b.scripts) || !samePath(a.outputRom, b.outputRom) || !samePath(a.outputIps, b.outputIps) ||
        !samePath(a.outputBps, b.outputBps) || a.writesIps != b.writesIps || a.writesBps != b.writesBps ||
        a.patches.size() != b.patches.size() || a.blocks.size() != b.blocks.size()) {
        return false;
    }
    for (size_t k = 0; k < a.patches.size(); ++k) {
        if (!samePath(a.patches[k], b.patches[k])) return false;
    }
    for (const auto& [address, options] : a.blocks) {
        const auto other = b.blocks.find(address);
        if (other == b.blocks.end() || other->second.skip != options.skip) return false;
    }
    return true;
}

// `text` with the top-level compressor key saying `compressor`: its value replaced where the key
// stands on `line`, or the key put in before the first table and the comments above it.
std::optional<std::string> withCompressor(std::string_view text, core::Compressor compressor, int line,
                                          std::string_view newline) {
    const std::vector<Line> lines = splitLines(text);
    const std::string name(CompressorName(compressor));
    if (line > 0) {
        if (static_cast<size_t>(line) > lines.size()) return std::nullopt;
        const Line& at = lines[static_cast<size_t>(line) - 1];
        const std::string_view keyLine = text.substr(at.begin, at.end - at.begin);
        const size_t equals = keyLine.find('=');
        const size_t open = equals == std::string_view::npos ? equals : keyLine.find_first_of("\"'", equals);
        const size_t close = open == std::string_view::npos ? open : keyLine.find(keyLine[open], open + 1);
        if (close == std::string_view::npos) return std::nullopt;
        return std::string(text.substr(0, at.begin + open + 1)) + name + std::string(text.substr(at.begin + close));
    }
    size_t insertAt = lines.size();
    for (size_t n = 0; n < lines.size(); ++n) {
        if (isHeading(text.substr(lines[n].begin, lines[n].end - lines[n].begin))) {
            insertAt = n;
            break;
        }
    }
    while (insertAt > 0) {
        const std::string_view above = trimmed(text.substr(lines[insertAt - 1].begin, lines[insertAt - 1].end - lines[insertAt - 1].begin));
        if (above.empty() || above.front() != '#') break;
        --insertAt;
    }
    const size_t offset = insertAt < lines.size() ? lines[insertAt].begin : text.size();
    std::string result(text.substr(0, offset));
    if (!result.empty() && result.back() != '\n') result += newline;
    result += std::string(kCompressorKey) + " = \"" + name + "\"" + std::string(newline) + std::string(newline);
    result += std::string(text.substr(offset));
    return result;
}

}  // namespace

EditorState ReadEditorTable(const toml::table& editor) {
    EditorState state;
    if (const auto* block = editor.get_as<std::string>(kBlockKey)) state.block = ParseBlockAddress(block->get());
    if (const auto* string = editor.get_as<int64_t>(kStringKey);
        string && string->get() >= 0 && string->get() < 0x10000) {
        state.string = static_cast<unsigned>(string->get());
    }
    if (const auto* shown = editor.get_as<bool>(kProblemsKey)) state.problemsShown = shown->get();
    if (const auto* marks = editor.get_as<bool>(kMarkOverflowKey)) state.markOverflow = marks->get();
    if (const auto* wrap = editor.get_as<bool>(kWrapWhileTypingKey)) state.wrapWhileTyping = wrap->get();
    if (const auto* size = editor.get_as<int64_t>(kFontSizeKey);
        size && size->get() >= kMinEditorFontSize && size->get() <= kMaxEditorFontSize) {
        state.fontSize = static_cast<int>(size->get());
    }
    return state;
}

std::string EditorTableText(const EditorState& state, std::string_view newline) {
    const std::string end(newline);
    std::string text = "[editor]" + end;
    if (state.block) {
        char address[16];
        std::snprintf(address, sizeof address, "%06X", *state.block);
        text += std::string(kBlockKey) + " = \"" + address + "\"" + end;
    }
    if (state.string) text += std::string(kStringKey) + " = " + std::to_string(*state.string) + end;
    const auto flag = [](bool on) { return on ? "true" : "false"; };
    if (state.problemsShown) text += std::string(kProblemsKey) + " = " + flag(*state.problemsShown) + end;
    if (state.markOverflow) text += std::string(kMarkOverflowKey) + " = " + flag(*state.markOverflow) + end;
    if (state.fontSize) text += std::string(kFontSizeKey) + " = " + std::to_string(*state.fontSize) + end;
    if (state.wrapWhileTyping) text += std::string(kWrapWhileTypingKey) + " = " + flag(*state.wrapWhileTyping) + end;
    return text;
}

std::optional<std::string> WithEditorTable(std::string_view text, const EditorState& state,
                                           const std::filesystem::path& file) {
    const ProjectLoad before = ParseProjectFile(text, file);
    if (!before.project) return std::nullopt;
    const core::Compressor compressor = state.compressor.value_or(before.project->compressor);
    const std::string_view newline = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::vector<Line> lines = splitLines(text);

    std::string result;
    if (before.project->editorLine == 0) {
        // No table yet: it goes at the end, after a blank line and a word on what it is.
        result = std::string(text);
        if (!result.empty() && result.back() != '\n') result += newline;
        result += std::string(newline) + "# What CorvaneText shows again when it opens this project; it rewrites" +
                  std::string(newline) + "# this table when it closes the project. The builds do not read it." +
                  std::string(newline) + EditorTableText(state, newline);
    } else {
        // The table's own heading, as the parser placed it; a table made any other way (dotted
        // keys, an inline table, [editor.x]) is not rewritten.
        const size_t heading = static_cast<size_t>(before.project->editorLine) - 1;
        if (heading >= lines.size()) return std::nullopt;
        if (!isEditorHeading(text.substr(lines[heading].begin, lines[heading].end - lines[heading].begin))) {
            return std::nullopt;
        }
        size_t last = heading;  // the table's last line of keys
        for (size_t n = heading + 1; n < lines.size(); ++n) {
            const std::string_view line = text.substr(lines[n].begin, lines[n].end - lines[n].begin);
            if (isHeading(line)) break;
            // Blank lines and comments after the last key belong to what follows.
            if (!isBlankOrComment(line)) last = n;
        }
        result = std::string(text.substr(0, lines[heading].begin));
        std::string table = EditorTableText(state, newline);
        // A last line without a line end stays without one.
        if (lines[last].next == lines[last].end) table.resize(table.size() - newline.size());
        result += table;
        result += std::string(text.substr(lines[last].next));
    }

    if (compressor != before.project->compressor) {
        auto changed = withCompressor(result, compressor, before.project->compressorLine, newline);
        if (!changed) return std::nullopt;
        result = std::move(*changed);
    }

    const ProjectLoad after = ParseProjectFile(result, file);
    if (!after.project || !sameProject(*before.project, *after.project) || after.project->compressor != compressor) {
        return std::nullopt;
    }
    EditorState expected = state;
    expected.compressor = after.project->editor.compressor;
    if (after.project->editor != expected) return std::nullopt;
    return result;
}

EditorStateSaveResult SaveEditorState(const std::filesystem::path& file, const EditorState& state) {
    const auto bytes = core::ReadWholeFile(file);
    if (!bytes) return {EditorStateSave::CannotRead, {}};
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    const auto replaced = WithEditorTable(text, state, file);
    if (!replaced) return {EditorStateSave::NotReplaceable, {}};
    if (*replaced == text) return {EditorStateSave::Unchanged, {}};
    const auto* data = reinterpret_cast<const uint8_t*>(replaced->data());
    if (const core::SaveResult saved = core::WriteFileSafely(file, std::span<const uint8_t>(data, replaced->size()));
        !saved) {
        return {EditorStateSave::CannotWrite, saved};
    }
    return {EditorStateSave::Saved, {}};
}

}  // namespace corv::project
