#include "project/project_file.h"

#include <toml++/toml.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "core/address.h"
#include "core/ascii.h"
#include "core/file_read.h"
#include "project/editor_table_read.h"
#include "project/po_text.h"
#include "project/substitutions_table.h"
#include "project/toml_nesting.h"

namespace corv::project {
namespace {

// More than a name can take in a box of 232 pixels.
constexpr int64_t kWidestCodeWidth = 1000;

int lineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

ProjectError keyError(ProjectProblem problem, std::string key, int line, std::string detail = {}) {
    return {problem, std::move(key), line, std::move(detail), {}};
}

// Reads the keys of one table, refusing any key the table does not know.
class TableReader {
public:
    TableReader(const toml::table& table, std::string prefix) : table_(table), prefix_(std::move(prefix)) {}

    std::string keyName(std::string_view key) const { return prefix_ + std::string(key); }

    // A string value turned into a path relative to `root`; the default when the key is absent
    // and a default is given.
    std::optional<ProjectPath> path(std::string_view key, const std::filesystem::path& root,
                                    const std::optional<std::string>& fallback = std::nullopt) {
        known_.insert(std::string(key));
        const toml::node* node = table_.get(key);
        if (!node) {
            if (fallback) return ProjectPath{root / *fallback, keyName(key), 0};
            // A key missing from a table of its own is placed at the table's heading.
            error_ = keyError(ProjectProblem::MissingKey, keyName(key), prefix_.empty() ? 0 : lineOf(table_));
            return std::nullopt;
        }
        return pathOf(*node, keyName(key), root);
    }

    std::optional<ProjectPath> pathOf(const toml::node& node, std::string name, const std::filesystem::path& root) {
        const auto* text = node.as_string();
        if (!text || text->get().empty()) {
            error_ = keyError(ProjectProblem::WrongType, std::move(name), lineOf(node), "a path in quotes");
            return std::nullopt;
        }
        return ProjectPath{root / std::filesystem::path(text->get()), std::move(name), lineOf(node)};
    }

    const toml::node* optional(std::string_view key) {
        known_.insert(std::string(key));
        return table_.get(key);
    }

    // The first key that was not asked for.
    bool checkUnknown() {
        for (const auto& [key, node] : table_) {
            if (!known_.contains(std::string(key.str()))) {
                error_ = keyError(ProjectProblem::UnknownKey, keyName(key.str()), lineOf(node));
                return false;
            }
        }
        return true;
    }

    std::optional<ProjectError> error_;

private:
    const toml::table& table_;
    std::string prefix_;
    std::set<std::string> known_;
};

std::optional<ProjectError> readBlocks(const toml::node* node, ProjectFile& project) {
    if (!node) return std::nullopt;
    const auto* blocks = node->as_table();
    if (!blocks) return keyError(ProjectProblem::WrongType, "blocks", lineOf(*node), "a table");
    for (const auto& [key, value] : *blocks) {
        const std::string name = "blocks." + std::string(key.str());
        const auto address = ParseBlockAddress(key.str());
        if (!address) return keyError(ProjectProblem::BadAddress, name, lineOf(value));
        const auto* options = value.as_table();
        if (!options) return keyError(ProjectProblem::WrongType, name, lineOf(value), "a table");
        TableReader reader(*options, name + ".");
        BlockOptions block{false, name, lineOf(value)};
        if (const toml::node* skip = reader.optional("skip")) {
            const auto* flag = skip->as_boolean();
            if (!flag) return keyError(ProjectProblem::WrongType, name + ".skip", lineOf(*skip), "true or false");
            block.skip = flag->get();
        }
        if (!reader.checkUnknown()) return reader.error_;
        project.blocks[core::AddressToRomOffset(*address)] = block;
    }
    return std::nullopt;
}

// output.formats: a list naming "bps" and "ips", each at most once.
std::optional<ProjectError> readFormats(const toml::node* node, ProjectFile& project) {
    if (!node) return std::nullopt;
    const auto wrong = [&](const toml::node& at) {
        return keyError(ProjectProblem::WrongType, "output.formats", lineOf(at),
                        "a list of the patch formats 'bps' and 'ips', each at most once");
    };
    const auto* list = node->as_array();
    if (!list || list->empty()) return wrong(*node);
    project.writesBps = project.writesIps = false;
    for (const toml::node& element : *list) {
        const auto* name = element.as_string();
        bool* chosen = !name ? nullptr : name->get() == "bps" ? &project.writesBps
                                       : name->get() == "ips" ? &project.writesIps : nullptr;
        if (!chosen || *chosen) return wrong(element);
        *chosen = true;
    }
    return std::nullopt;
}

std::optional<ProjectError> readOutput(const toml::table& table, ProjectFile& project) {
    const std::filesystem::path& dir = project.directory;
    TableReader out(table, "output.");
    auto outputRom = out.path("rom", dir);
    if (!outputRom) return out.error_;
    project.outputRom = *outputRom;
    if (auto problem = readFormats(out.optional("formats"), project)) return problem;
    // The IPS path is needed when an IPS is written, or as the default of the BPS beside it.
    if (project.writesIps || !table.get("bps")) {
        auto ips = out.path("ips", dir);
        if (!ips) return out.error_;
        project.outputIps = *ips;
    } else if (const toml::node* ips = out.optional("ips")) {
        auto path = out.pathOf(*ips, "output.ips", dir);
        if (!path) return out.error_;
        project.outputIps = *path;
    }
    if (const toml::node* bps = out.optional("bps")) {
        auto path = out.pathOf(*bps, "output.bps", dir);
        if (!path) return out.error_;
        project.outputBps = *path;
    } else {
        project.outputBps = {std::filesystem::path(project.outputIps.path).replace_extension(".bps"), "output.bps", 0};
    }
    if (!out.checkUnknown()) return out.error_;
    return std::nullopt;
}

// A title or version: one line a read-me prints as it stands, so no control character (a
// line break would let the project file write lines of its own, checksums among them).
std::optional<ProjectError> readReleaseText(const toml::node* node, const std::string& key,
                                            std::optional<std::string>& text, int& line) {
    if (!node) return std::nullopt;
    const auto* value = node->as_string();
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (!value || value->get().empty() || value->get().size() > kLongestReleaseText ||
        std::any_of(value->get().begin(), value->get().end(), isControl)) {
        return keyError(ProjectProblem::WrongType, key, lineOf(*node),
                        "one line of text of at most " + std::to_string(kLongestReleaseText) +
                            " bytes, without control characters");
    }
    text = value->get();
    line = lineOf(*node);
    return std::nullopt;
}

std::optional<ProjectError> readRelease(const toml::node* node, ProjectFile& project) {
    if (!node) return std::nullopt;
    const auto* table = node->as_table();
    if (!table) return keyError(ProjectProblem::WrongType, "release", lineOf(*node), "a table");
    ReleaseSettings& release = project.release;
    release.line = lineOf(*node);
    TableReader reader(*table, "release.");
    if (const toml::node* dir = reader.optional("dir")) {
        release.dir = reader.pathOf(*dir, "release.dir", project.directory);
        if (!release.dir) return reader.error_;
    }
    if (auto problem = readReleaseText(reader.optional("title"), "release.title", release.title, release.titleLine)) {
        return problem;
    }
    if (auto problem =
            readReleaseText(reader.optional("version"), "release.version", release.version, release.versionLine)) {
        return problem;
    }
    if (!reader.checkUnknown()) return reader.error_;
    return std::nullopt;
}

// The [wrap] table. A page break that would not end a page, or that draws or breaks a row, is
// refused: wrapped text would not pass the checks, and wrapping it again would not settle.
std::optional<ProjectError> readWrap(const toml::node* node, ProjectFile& project) {
    if (!node) return std::nullopt;
    const auto* table = node->as_table();
    if (!table) return keyError(ProjectProblem::WrongType, "wrap", lineOf(*node), "a table");
    TableReader reader(*table, "wrap.");
    if (const toml::node* pageBreak = reader.optional("page_break")) {
        const auto* text = pageBreak->as_string();
        if (!text || !check::IsUsablePageBreak(text->get())) {
            return keyError(ProjectProblem::WrongType, "wrap.page_break", lineOf(*pageBreak),
                            "key waits, window clears, pauses or sounds that end a page, such as '[Key][ClrWin]'");
        }
        project.wrap.pageBreak = text->get();
    }
    const std::pair<const char*, std::optional<int>*> widths[] = {
        {"player_width", &project.wrap.codeWidths.player},
        {"number_width", &project.wrap.codeWidths.number},
        {"memory_text_width", &project.wrap.codeWidths.memoryText},
    };
    for (const auto& [key, width] : widths) {
        const toml::node* value = reader.optional(key);
        if (!value) continue;
        const auto* number = value->as_integer();
        if (!number || number->get() < 0 || number->get() > kWidestCodeWidth) {
            return keyError(ProjectProblem::WrongType, "wrap." + std::string(key), lineOf(*value),
                            "a width in pixels from 0 to " + std::to_string(kWidestCodeWidth));
        }
        *width = int(number->get());
    }
    if (!reader.checkUnknown()) return reader.error_;
    return std::nullopt;
}

std::optional<ProjectError> readProject(const toml::table& root, ProjectFile& project) {
    const std::filesystem::path& dir = project.directory;
    TableReader top(root, "");
    auto rom = top.path("rom", dir);
    auto dataFile = rom ? top.path("data_file", dir) : std::nullopt;
    auto table = dataFile ? top.path("table", dir) : std::nullopt;
    auto scripts = table ? top.path("scripts", dir, std::string(kDefaultScriptsFolder)) : std::nullopt;
    if (!scripts) return top.error_;
    project.rom = *rom;
    project.dataFile = *dataFile;
    project.table = *table;
    project.scripts = *scripts;

    if (const toml::node* patches = top.optional("patches")) {
        const auto* list = patches->as_array();
        if (!list) return keyError(ProjectProblem::WrongType, "patches", lineOf(*patches), "a list of paths");
        for (size_t k = 0; k < list->size(); ++k) {
            auto patch = top.pathOf(*list->get(k), "patches[" + std::to_string(k) + "]", dir);
            if (!patch) return top.error_;
            project.patches.push_back(*patch);
        }
    }

    const toml::node* output = top.optional("output");
    if (!output) return keyError(ProjectProblem::MissingKey, "output", 0);
    const auto* outputTable = output->as_table();
    if (!outputTable) return keyError(ProjectProblem::WrongType, "output", lineOf(*output), "a table");
    if (auto problem = readOutput(*outputTable, project)) return problem;
    if (auto problem = readRelease(top.optional("release"), project)) return problem;

    if (const toml::node* allow = top.optional("allow_outside")) {
        const auto* flag = allow->as_boolean();
        if (!flag) return keyError(ProjectProblem::WrongType, "allow_outside", lineOf(*allow), "true or false");
        project.allowOutside = flag->get();
    }
    if (const toml::node* untranslated = top.optional("untranslated")) {
        const auto* text = untranslated->as_string();
        if (!text || (text->get() != "stand-in" && text->get() != "refuse")) {
            return keyError(ProjectProblem::WrongType, "untranslated", lineOf(*untranslated),
                            "\"stand-in\" or \"refuse\"");
        }
        project.untranslated = text->get() == "refuse" ? UntranslatedStrings::Refuse : UntranslatedStrings::StandIn;
    }
    if (const toml::node* compressor = top.optional(kCompressorKey)) {
        const auto* text = compressor->as_string();
        const auto chosen = text ? ParseCompressorName(text->get()) : std::nullopt;
        if (!chosen) {
            return keyError(ProjectProblem::WrongType, kCompressorKey, lineOf(*compressor),
                            "\"standard\" or \"maximising\"");
        }
        project.compressor = *chosen;
        project.compressorLine = lineOf(*compressor);
    }
    if (const toml::node* language = top.optional("language")) {
        const auto* text = language->as_string();
        if (!text || !IsLanguageCode(text->get())) {
            return keyError(ProjectProblem::WrongType, "language", lineOf(*language),
                            "a language code such as \"de\" or \"pt_BR\"");
        }
        project.language = text->get();
    }
    if (auto problem = readBlocks(top.optional("blocks"), project)) return problem;
    if (const toml::node* substitutions = top.optional("substitutions")) {
        const auto* pairs = substitutions->as_table();
        if (!pairs) return keyError(ProjectProblem::WrongType, "substitutions", lineOf(*substitutions), "a table");
        if (auto problem = ReadSubstitutions(*pairs, "substitutions.", project.substitutions)) return problem;
    }
    if (auto problem = readWrap(top.optional("wrap"), project)) return problem;
    if (const toml::node* editor = top.optional("editor")) {
        const auto* editorTable = editor->as_table();
        if (!editorTable) return keyError(ProjectProblem::WrongType, "editor", lineOf(*editor), "a table");
        project.editor = ReadEditorTable(*editorTable);
        project.editorLine = lineOf(*editor);
    }
    // Fit Harder When Over shows the key and writes it back with the editor's state.
    if (project.compressorLine > 0) project.editor.compressor = project.compressor;
    if (!top.checkUnknown()) return top.error_;
    return std::nullopt;
}

// A NUL cuts a path or a name short wherever the system reads it: refused in every key and
// string, so that no path is used in part.
std::optional<ProjectError> findNul(const toml::node& node, const std::string& name) {
    const auto nul = [](std::string_view text) { return text.find('\0') != std::string_view::npos; };
    if (const auto* text = node.as_string(); text && nul(text->get())) {
        return keyError(ProjectProblem::NulCharacter, name, lineOf(node));
    }
    if (const auto* table = node.as_table()) {
        for (const auto& [key, value] : *table) {
            const std::string inner = name.empty() ? std::string(key.str()) : name + "." + std::string(key.str());
            if (nul(key.str())) return keyError(ProjectProblem::NulCharacter, inner, lineOf(value));
            if (auto found = findNul(value, inner)) return found;
        }
    }
    if (const auto* array = node.as_array()) {
        for (size_t k = 0; k < array->size(); ++k) {
            if (auto found = findNul(*array->get(k), name + "[" + std::to_string(k) + "]")) return found;
        }
    }
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    std::ostringstream out;
    out << toml::value<std::string>(text);
    return out.str();
}

}  // namespace

bool ProjectFile::skips(uint32_t blockAddress) const {
    const auto found = blocks.find(core::AddressToRomOffset(blockAddress));
    return found != blocks.end() && found->second.skip;
}

ProjectLoad ParseProjectFile(std::string_view text, const std::filesystem::path& file) {
    ProjectLoad load;
    if (const auto line = LineNestedTooDeep(text, kMostProjectNesting)) {
        load.error = ProjectError{ProjectProblem::TooDeep, {}, *line, {}, {}};
        return load;
    }
    toml::table root;
    try {
        root = toml::parse(text, file.string());
    } catch (const toml::parse_error& error) {
        load.error = ProjectError{ProjectProblem::Syntax, {}, static_cast<int>(error.source().begin.line),
                                  std::string(error.description()), {}};
        return load;
    }
    if (auto nul = findNul(root, "")) {
        load.error = std::move(nul);
        return load;
    }
    ProjectFile project;
    project.file = file;
    project.directory = file.parent_path();
    if (auto problem = readProject(root, project)) {
        load.error = std::move(problem);
        return load;
    }
    load.project = std::move(project);
    return load;
}

ProjectLoad LoadProjectFile(const std::filesystem::path& file) {
    const core::FileRead read = core::ReadBoundedFile(file, kLargestProjectFile);
    const auto wholeFile = [&](ProjectProblem problem) {
        return ProjectLoad{std::nullopt, ProjectError{problem, {}, 0, {}, file}};
    };
    switch (read.status) {
    case core::FileReadStatus::Read: break;
    case core::FileReadStatus::CannotRead: return wholeFile(ProjectProblem::CannotRead);
    case core::FileReadStatus::NotAFile: return wholeFile(ProjectProblem::NotAFile);
    case core::FileReadStatus::TooLarge: return wholeFile(ProjectProblem::TooLarge);
    }
    return ParseProjectFile({reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()}, file);
}

std::string ProjectFileText(const ProjectFileSettings& settings) {
    std::string text;
    text += "# The translation project: what one build puts together. Paths are relative to this file.\n\n";
    text += "# The original ROM. It is only ever read: every build starts again from it, so the room\n";
    text += "# of each block is always the room it has in the original.\n";
    text += "rom = " + quoted(settings.rom) + "\n";
    text += "# The block data file (the text blocks, the code table) and the table file (the dictionary).\n";
    text += "data_file = " + quoted(settings.dataFile) + "\n";
    text += "table = " + quoted(settings.table) + "\n";
    text += "# One script file per block, named by its address: 00340000.txt.\n";
    text += "scripts = " + quoted(settings.scripts) + "\n";
    text += "# IPS code patches applied to the original first, in this order.\n";
    text += "patches = []\n";
    text += "# The compressor of every build: \"standard\" (the streams the game's own compressor writes,\n";
    text += "# without this key) or \"maximising\" (the smallest the game reads back, for a block over its\n";
    text += "# room). CorvaneText's Edit > Fit Harder When Over shows and sets it.\n";
    text += "# compressor = \"maximising\"\n\n";
    text += "# Characters that import-po writes differently: what word processors and translation\n";
    text += "# platforms type and a Latin-1 script cannot hold. A letter the table file gives a byte of\n";
    text += "# the game (a line 7B=\xC3\xB1) is never replaced. Remove a line to have the character refused.\n";
    text += "[substitutions]\n";
    text += script::DefaultSubstitutionLines();
    text += "\n";
    text += "# What the build writes: the translated ROM and BPS and IPS patches from the original to it.\n";
    text += "[output]\n";
    text += "rom = " + quoted(settings.outputRom) + "\n";
    text += "ips = " + quoted(settings.outputIps) + "\n\n";
    text += "# Options of single blocks, by the address of their .BLOCK line. A skipped block stays as\n";
    text += "# it is in the original.\n";
    text += "# [blocks.340000]\n";
    text += "# skip = true\n";
    return text;
}

std::optional<core::Compressor> ParseCompressorName(std::string_view text) {
    if (text == kStandardCompressorName) return core::Compressor::Standard;
    if (text == kMaximisingCompressorName) return core::Compressor::Maximising;
    return std::nullopt;
}

std::string_view CompressorName(core::Compressor compressor) {
    return compressor == core::Compressor::Maximising ? kMaximisingCompressorName : kStandardCompressorName;
}

std::optional<uint32_t> ParseBlockAddress(std::string_view text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    const core::HexDigits digits = core::ReadHexDigits(text);
    if (digits.count != text.size()) return std::nullopt;
    return digits.value;
}

}  // namespace corv::project
