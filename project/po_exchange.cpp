#include "project/po_exchange.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <utility>

#include "check/box_lines.h"
#include "check/box_wrap.h"
#include "check/code_parameters.h"
#include "check/entry_structure.h"
#include "check/string_check.h"
#include "script/substitutions.h"
#include "core/address.h"
#include "core/ascii.h"
#include "project/po_reader.h"
#include "project/write_paths.h"
#include "script/kana_dump.h"
#include "script/entry_words.h"
#include "script/script_encoder.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/sjis.h"
#include "script/string_decoder.h"
#include "script/text_lines.h"
#include "script/string_record.h"

namespace corv::project {
namespace {

// The keyword of a line break, which a msgstr ends with for each empty line at the end of its
// entry: a PO message may not end with a line break its msgid lacks.
constexpr std::string_view kLineBreakKeyword = "[NEWLINE]";

// A script entry's translation as one text, its empty lines at the end written as line break
// keywords; empty when no line has text.
std::string translationOf(const std::vector<std::string>& lines) {
    if (!script::EntryHoldsText(lines)) return {};
    size_t count = lines.size();
    while (count > 0 && lines[count - 1].empty()) --count;
    std::string text = script::JoinLines({lines.begin(), lines.begin() + long(count)});
    for (size_t k = count; k < lines.size(); ++k) text += kLineBreakKeyword;
    return text;
}

bool endsWithLineBreakKeyword(std::string_view line) {
    return line.size() >= kLineBreakKeyword.size() &&
           core::FindIgnoringCase(line.substr(line.size() - kLineBreakKeyword.size()), kLineBreakKeyword) == 0;
}

// A translation's lines, split into its text and the line breaks its last line ends with, which
// go into the script as empty lines at the end of the entry (the same bytes in the game). A
// translation of nothing but line breaks stays as it is written.
struct TranslationLines {
    std::vector<std::string> text;
    size_t trailingBreaks = 0;
};

TranslationLines splitTranslation(const std::string& latin1) {
    std::vector<std::string> lines = script::SplitLines(latin1);
    std::string rest = lines.back();
    size_t breaks = 0;
    while (endsWithLineBreakKeyword(rest)) {
        rest.resize(rest.size() - kLineBreakKeyword.size());
        ++breaks;
    }
    const std::string written = std::exchange(lines.back(), rest);
    if (!script::EntryHoldsText(lines)) {
        lines.back() = written;
        breaks = 0;
    }
    return {std::move(lines), breaks};
}

// The bracketed forms of the codes of `gameString` a translation must keep, each once.
std::vector<std::string> codesToKeep(std::span<const uint8_t> gameString, const script::CodeMaps& maps) {
    std::vector<std::string> codes;
    for (size_t at = 0; at + 1 < gameString.size(); at += 2) {
        const uint8_t low = gameString[at];
        const uint8_t kind = gameString[at + 1];
        if (low == 0xFF && kind == 0xFF) break;
        if (!check::CodeMustBeKept(kind)) continue;
        const uint8_t word[] = {low, kind, 0xFF, 0xFF};
        std::string text = script::DecodeGameStringToText(word, maps);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (!text.empty() && std::find(codes.begin(), codes.end(), text) == codes.end()) codes.push_back(std::move(text));
    }
    return codes;
}

// The opening line of string n's entry and its closing line, as the insertion finds them.
struct EntryLines {
    int opening = -1;
    int closing = -1;
};

EntryLines findEntry(const std::vector<std::string>& lines, unsigned n) {
    script::MemoryScriptText script(script::JoinLines(lines));
    const auto found = script::FindInScript(script, script::EntrySearchText(int(n)), true);
    if (!found) return {};
    // The search matches ".STRING 1" inside ".STRING 10": only the exact number counts.
    std::string opening = lines[size_t(*found)];
    while (!opening.empty() && (opening.back() == ' ' || opening.back() == '\r' || opening.back() == '\t')) {
        opening.pop_back();
    }
    if (!core::EqualsIgnoringCase(opening, script::EntrySearchText(int(n)))) return {};
    for (int k = *found + 1; k < int(lines.size()); ++k) {
        if (script::IsEntryClosingLine(lines[size_t(k)])) return {*found, k};
    }
    return {*found, -1};
}

// The first line of a script that no string of its block takes and that the checks call an
// error: text outside every entry, or an entry for a string the block does not have.
std::optional<check::StrayLine> strayText(const std::string& text, const script::TextBlockLoad& load) {
    if (!load.block) return std::nullopt;
    const script::MemoryScriptText script(text);
    for (check::StrayLine& stray : check::FindStrayLines(script, load.block->info.stringCount)) {
        if (stray.kind != check::StrayKind::MistypedKeyword) return std::move(stray);
    }
    return std::nullopt;
}

struct ImportTarget {
    std::filesystem::path path;
    std::vector<std::string> lines;
    bool changed = false;
};

}  // namespace

std::string PoContext(uint32_t blockAddress, unsigned stringNumber) {
    return "BLOCK " + core::HexText(blockAddress, 1) + " STRING " + std::to_string(stringNumber);
}

std::optional<std::pair<uint32_t, unsigned>> ParsePoContext(std::string_view context) {
    unsigned address = 0, number = 0;
    char end = 0;
    const std::string text(context);
    if (std::sscanf(text.c_str(), "BLOCK %X STRING %u%c", &address, &number, &end) != 2) return std::nullopt;
    if (PoContext(address, number) != text) return std::nullopt;
    return std::pair<uint32_t, unsigned>{address, number};
}

std::filesystem::path PoPathFor(const std::filesystem::path& folder, uint32_t blockAddress, bool isTemplate) {
    char name[32];
    std::snprintf(name, sizeof name, isTemplate ? "%08X.pot" : "%08X.po", static_cast<unsigned>(blockAddress));
    return folder / name;
}

BlockPo ExportBlockPo(const ProjectFile& project, const ProjectInputs& inputs, size_t blockIndex) {
    BlockPo po;
    po.address = inputs.dataFile.blocks.at(blockIndex).address;
    const script::TextBlockLoad load = script::LoadTextBlock(inputs.patched.data(), inputs.dataFile.blocks, po.address);
    if (!load.block) {
        po.problem = load.problem;
        return po;
    }
    const script::TextBlock& block = *load.block;
    const auto scriptText = script::LoadScriptFile(script::ScriptPathFor(project.scripts.path, po.address));
    script::MemoryScriptText script(scriptText ? *scriptText : std::string());
    const check::BoxMetrics box = check::BoxOfDataFile(inputs.dataFile);
    const std::string boxNote = "box: " + std::to_string(box.width) + " pixels wide, " +
                                std::to_string(box.visibleRows) + " rows";

    std::map<uint16_t, unsigned> firstWithPointer;
    std::set<unsigned> shared;     // strings whose text others share
    std::vector<unsigned> numbers;  // the string of each message
    for (const unsigned n : TextStringNumbers(block)) {
        const script::ResolvedString resolved = script::ResolveString(block.bytes(), n, false);
        if (resolved.kind != script::ResolvedKind::GameString) continue;
        const auto [first, isFirst] = firstWithPointer.emplace(resolved.textPointer, n);
        const std::string kana = script::DecodeGameStringToText(resolved.string, *inputs.maps);
        const std::string id = script::ShiftJisToUtf8(script::JoinLines(script::KanaTextLines(kana)));
        if (id.empty()) continue;  // nothing to translate; msgid "" is the header's
        PoMessage message;
        const std::vector<std::string> codes = codesToKeep(resolved.string, *inputs.maps);
        if (!codes.empty()) {
            std::string note = "keep the codes:";
            for (const std::string& code : codes) note += ' ' + script::ShiftJisToUtf8(code);
            message.notes.push_back(note);
        }
        message.notes.push_back(boxNote);
        if (!isFirst) {
            shared.insert(first->second);
            message.notes.push_back("shares its text with string " + std::to_string(first->second) +
                                    ", whose translation the game shows");
        }
        message.context = PoContext(po.address, n);
        message.id = id;
        script.setCaret(0);
        if (const auto opening = script::FindInScript(script, script::EntrySearchText(int(n)), true)) {
            script::EntryCopy copy = script::CopyEntry(script, *opening);
            const std::vector<std::string> lines(copy.lines.begin() + 1, copy.lines.end() - (copy.closed ? 1 : 0));
            const std::string translation = translationOf(lines);
            const TranslationCheck check = CheckScriptTranslation(translation, inputs.table.characterMap());
            if (check.problem != TranslationProblem::None && !po.unexportable) {
                po.unexportable = UnexportableEntry{n, *opening + 2 + int(check.line), check};
            }
            message.str = Latin1ToUtf8(translation);
            if (endsWithLineBreakKeyword(translation)) {
                message.notes.push_back("the [NEWLINE] at the end is a line break after the text; remove it to end "
                                        "the string with its text");
            }
        }
        po.messages.push_back(std::move(message));
        numbers.push_back(n);
    }
    // Strings that others share: say so on the first too.
    for (size_t i = 0; i < po.messages.size(); ++i) {
        if (shared.contains(numbers[i])) po.messages[i].notes.push_back("other strings show this translation too");
    }
    return po;
}

namespace {

PoImportProblem importProblemOf(PoReadProblem problem) {
    switch (problem) {
    case PoReadProblem::CannotRead: return PoImportProblem::CannotRead;
    case PoReadProblem::NotAFile: return PoImportProblem::NotAFile;
    case PoReadProblem::TooLarge: return PoImportProblem::TooLarge;
    case PoReadProblem::NulByte: return PoImportProblem::NulByte;
    case PoReadProblem::NotUtf8: return PoImportProblem::NotUtf8;
    case PoReadProblem::LibraryError: return PoImportProblem::LibraryError;
    }
    return PoImportProblem::CannotRead;
}

PoImportProblem importProblemOf(TranslationProblem problem) {
    switch (problem) {
    case TranslationProblem::NotUtf8: return PoImportProblem::NotUtf8;
    case TranslationProblem::PastLatin1:
    case TranslationProblem::GameCode: return PoImportProblem::BadCharacter;
    case TranslationProblem::Control: return PoImportProblem::ControlCharacter;
    case TranslationProblem::KeywordLine: return PoImportProblem::KeywordLine;
    case TranslationProblem::TooLong: return PoImportProblem::TooLong;
    case TranslationProblem::None: break;
    }
    return PoImportProblem::BadCharacter;
}

// Where a translation of one string was first met among the given files.
struct FirstTranslation {
    std::filesystem::path file;
    size_t line = 0;
    std::string text;
};

// One import, entry by entry: each step either lets the entry on or tells why not (an error, a
// warning or a count), and the last puts its translation into the script's lines.
class PoImporter {
public:
    PoImporter(const ProjectFile& project, const ProjectInputs& inputs, bool withFuzzy, bool allowOutside, bool wrap)
        : project_(project), inputs_(inputs), withFuzzy_(withFuzzy), allowOutside_(allowOutside), wrap_(wrap),
          wrapper_(check::BoxOfDataFile(inputs.dataFile), project.wrap, inputs.table.characterMap()) {}

    void importFile(const std::filesystem::path& file);
    // The result, with the new text of every script an entry changed.
    PoImport finish();

private:
    // The entry being imported and the file it stands in.
    struct Source {
        const std::filesystem::path& file;
        const PoEntry& entry;
    };

    void importEntry(const Source& source);
    PoImportError& fail(const Source& source, PoImportProblem problem);
    // The translation as the script's bytes, once it is one to import: std::nullopt after it was
    // refused, counted as left out, or warned of.
    std::optional<std::string> scriptTranslation(const Source& source, unsigned number);
    // Whether this is the first translation of the string among the given files; a later one is
    // an error when it differs, a warning when it is the same.
    bool firstTranslation(const Source& source, size_t block, unsigned number, const std::string& text);
    // The script the block's entries go into, read on first use; nullptr after an error.
    ImportTarget* target(const Source& source, uint32_t address);
    void replaceEntry(const Source& source, ImportTarget& target, unsigned number, const std::string& text);

    const ProjectFile& project_;
    const ProjectInputs& inputs_;
    const bool withFuzzy_;
    const bool allowOutside_;
    const bool wrap_;
    check::BoxWrapper wrapper_;
    PoImport result_;
    std::map<uint32_t, ImportTarget> targets_;  // by block address as listed
    std::map<std::pair<size_t, unsigned>, FirstTranslation> seen_;  // by listed block and string
};

void PoImporter::importFile(const std::filesystem::path& file) {
    const PoRead read = ReadPoFile(file);
    if (read.problem) {
        result_.errors.push_back({.problem = importProblemOf(*read.problem),
                                  .file = file,
                                  .line = read.errorLine,
                                  .detail = read.detail});
        return;
    }
    for (const PoEntry& entry : read.entries) importEntry({file, entry});
}

PoImportError& PoImporter::fail(const Source& source, PoImportProblem problem) {
    result_.errors.push_back(
        {.problem = problem, .file = source.file, .line = source.entry.line, .context = source.entry.context});
    return result_.errors.back();
}

void PoImporter::importEntry(const Source& source) {
    const PoEntry& entry = source.entry;
    const auto where = ParsePoContext(entry.context);
    const auto index = where ? script::ListedBlockIndex(inputs_.dataFile.blocks, where->first) : std::nullopt;
    if (!index) {
        fail(source, PoImportProblem::UnknownString);
        return;
    }
    if (entry.plural) {
        fail(source, PoImportProblem::Plural);
        return;
    }
    const std::optional<std::string> text = scriptTranslation(source, where->second);
    if (!text || !firstTranslation(source, *index, where->second, *text)) return;
    ImportTarget* into = target(source, inputs_.dataFile.blocks[*index].address);
    if (into) replaceEntry(source, *into, where->second, *text);
}

std::optional<std::string> PoImporter::scriptTranslation(const Source& source, unsigned number) {
    const PoEntry& entry = source.entry;
    if (entry.str.empty()) {
        ++result_.untranslated;
        return std::nullopt;
    }
    if (entry.fuzzy && !withFuzzy_) {
        ++result_.fuzzySkipped;
        return std::nullopt;
    }
    // What word processors type is written as the project's substitutions say, first.
    const script::SubstitutedText substituted =
        script::SubstituteUtf8(entry.str, project_.substitutions, inputs_.table.characterMap());
    result_.substituted += substituted.count;
    ScriptCharacters characters = Utf8ToScriptCharacters(substituted.utf8, inputs_.table.characterMap());
    if (characters.check.problem != TranslationProblem::None) {
        PoImportError& error = fail(source, importProblemOf(characters.check.problem));
        error.character = characters.check.character;
        error.textLine = characters.check.line + 1;
        return std::nullopt;
    }
    // A code the translation writes without its parameters would take the string's end
    // and the next string's bytes in the game: an error of the checks, refused here too.
    const std::vector<std::string> textLines = script::SplitLines(characters.latin1);
    const std::vector<std::string> encoderLines =
        script::ApplyDictionaryToLines(textLines, inputs_.table).value_or(textLines);
    if (const auto broken = check::CheckCodeParameters(encoderLines, number); !broken.empty()) {
        fail(source, PoImportProblem::BrokenCode).finding = broken.front();
        return std::nullopt;
    }
    if (characters.latin1.find_first_not_of(" \t\n") == std::string::npos) {
        // Only blanks: most likely a slip, never worth replacing a translation with.
        result_.warnings.push_back({.problem = PoImportProblem::BlankTranslation,
                                    .file = source.file,
                                    .line = entry.line,
                                    .context = entry.context});
        ++result_.untranslated;
        return std::nullopt;
    }
    return std::move(characters.latin1);
}

bool PoImporter::firstTranslation(const Source& source, size_t block, unsigned number, const std::string& text) {
    const auto [first, isFirst] =
        seen_.try_emplace({block, number}, FirstTranslation{source.file, source.entry.line, text});
    if (isFirst) return true;
    const bool same = first->second.text == text;
    (same ? result_.warnings : result_.errors)
        .push_back({.problem = same ? PoImportProblem::SameTwice : PoImportProblem::Duplicate,
                    .file = source.file,
                    .line = source.entry.line,
                    .context = source.entry.context,
                    .otherFile = first->second.file,
                    .otherLine = first->second.line});
    return false;
}

ImportTarget* PoImporter::target(const Source& source, uint32_t address) {
    auto [target, added] = targets_.try_emplace(address);
    if (!added) return &target->second;
    target->second.path = script::ScriptPathFor(project_.scripts.path, address);
    auto allowed = CheckWritePath(project_, project_.scripts, target->second.path, allowOutside_);
    if (auto* error = std::get_if<ProjectError>(&allowed)) {
        PoImportError& refused = fail(source, PoImportProblem::PathNotAllowed);
        refused.file = project_.file;  // a problem of the project file's key
        refused.pathError = std::move(*error);
        targets_.erase(target);
        return nullptr;
    }
    std::error_code error;
    std::optional<std::string> text;
    const script::TextBlockLoad load = script::LoadTextBlock(inputs_.patched.data(), inputs_.dataFile.blocks, address);
    if (std::filesystem::exists(std::filesystem::symlink_status(target->second.path, error))) {
        text = script::LoadScriptFile(target->second.path);
    } else if (load.block) {
        text = script::ProjectScriptSkeleton(load.block->info.stringCount);
    }
    if (!text) {
        result_.errors.push_back(
            {.problem = PoImportProblem::ScriptUnreadable, .file = target->second.path, .context = source.entry.context});
        targets_.erase(target);
        return nullptr;
    }
    // Text the build would drop is mended in the script first: an import would leave it where it
    // is, and the translator would not know that it goes nowhere.
    if (const auto stray = strayText(*text, load); stray) {
        result_.errors.push_back({.problem = PoImportProblem::TextOutsideEntries,
                                  .file = target->second.path,
                                  .line = size_t(stray->scriptLine),
                                  .context = source.entry.context,
                                  .detail = stray->text});
        targets_.erase(target);
        return nullptr;
    }
    target->second.lines = script::SplitLines(*text);
    return &target->second;
}

void PoImporter::replaceEntry(const Source& source, ImportTarget& target, unsigned number, const std::string& text) {
    std::vector<std::string>& lines = target.lines;
    const EntryLines found = findEntry(lines, number);
    if (found.opening < 0 || found.closing < 0) {
        fail(source, PoImportProblem::EntryMissing);
        return;
    }
    const std::vector<std::string> current(lines.begin() + found.opening + 1, lines.begin() + found.closing);
    TranslationLines translation = splitTranslation(text);
    std::vector<std::string>& replacement = translation.text;
    if (wrap_) {
        // A wrap that would give a row the script's reader takes as structure is left out.
        std::vector<std::string> wrapped = wrapper_.wrap(replacement).lines;
        if (std::none_of(wrapped.begin(), wrapped.end(), script::ActsAsKeywordLine)) replacement = std::move(wrapped);
    }
    replacement.insert(replacement.end(), translation.trailingBreaks, std::string());
    if (translationOf(current) == translationOf(replacement)) {
        ++result_.unchanged;
        return;
    }
    lines.erase(lines.begin() + found.opening + 1, lines.begin() + found.closing);
    lines.insert(lines.begin() + found.opening + 1, replacement.begin(), replacement.end());
    target.changed = true;
    ++result_.imported;
}

PoImport PoImporter::finish() {
    for (const auto& [address, target] : targets_) {
        if (target.changed) result_.scripts[target.path] = script::JoinLines(target.lines);
    }
    return std::move(result_);
}

}  // namespace

PoImport ImportPoFiles(const ProjectFile& project, const ProjectInputs& inputs,
                       const std::vector<std::filesystem::path>& files, bool withFuzzy, bool allowOutside,
                       bool wrap) {
    PoImporter importer(project, inputs, withFuzzy, allowOutside, wrap);
    for (const std::filesystem::path& file : files) importer.importFile(file);
    return importer.finish();
}

}  // namespace corv::project
