#include "project/po_exchange.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "check/box_lines.h"
#include "check/box_wrap.h"
#include "check/code_parameters.h"
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

// A script entry's translation as one text: the lines without the empty ones at the end;
// empty when no line has text.
std::string translationOf(const std::vector<std::string>& lines) {
    if (!script::EntryHoldsText(lines)) return {};
    size_t count = lines.size();
    while (count > 0 && lines[count - 1].empty()) --count;
    return script::JoinLines({lines.begin(), lines.begin() + long(count)});
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

std::filesystem::path PoPathFor(const std::filesystem::path& folder, uint32_t blockAddress) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X.po", static_cast<unsigned>(blockAddress));
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

}  // namespace

PoImport ImportPoFiles(const ProjectFile& project, const ProjectInputs& inputs,
                       const std::vector<std::filesystem::path>& files, bool withFuzzy, bool allowOutside,
                       bool wrap) {
    PoImport result;
    check::BoxWrapper wrapper(check::BoxOfDataFile(inputs.dataFile), project.wrap, inputs.table.characterMap());
    std::map<uint32_t, ImportTarget> targets;  // by block address as listed
    std::map<std::pair<size_t, unsigned>, FirstTranslation> seen;  // by listed block and string
    for (const std::filesystem::path& file : files) {
        const PoRead read = ReadPoFile(file);
        if (read.problem) {
            PoImportError error{importProblemOf(*read.problem), file, read.errorLine, {}, 0, read.detail};
            result.errors.push_back(std::move(error));
            continue;
        }
        for (const PoEntry& entry : read.entries) {
            const auto where = ParsePoContext(entry.context);
            const auto index = where ? script::ListedBlockIndex(inputs.dataFile.blocks, where->first) : std::nullopt;
            const auto fail = [&](PoImportProblem problem) -> PoImportError& {
                result.errors.push_back({problem, file, entry.line, entry.context});
                return result.errors.back();
            };
            if (!index) {
                fail(PoImportProblem::UnknownString);
                continue;
            }
            if (entry.plural) {
                fail(PoImportProblem::Plural);
                continue;
            }
            if (entry.str.empty()) {
                ++result.untranslated;
                continue;
            }
            if (entry.fuzzy && !withFuzzy) {
                ++result.fuzzySkipped;
                continue;
            }
            // What word processors type is written as the project's substitutions say, first.
            const script::SubstitutedText substituted =
                script::SubstituteUtf8(entry.str, project.substitutions, inputs.table.characterMap());
            result.substituted += substituted.count;
            const ScriptCharacters characters = Utf8ToScriptCharacters(substituted.utf8, inputs.table.characterMap());
            if (characters.check.problem != TranslationProblem::None) {
                PoImportError& error = fail(importProblemOf(characters.check.problem));
                error.character = characters.check.character;
                error.textLine = characters.check.line + 1;
                continue;
            }
            // A code the translation writes without its parameters would take the string's end
            // and the next string's bytes in the game: an error of the checks, refused here too.
            const std::vector<std::string> textLines = script::SplitLines(characters.latin1);
            const std::vector<std::string> encoderLines =
                script::ApplyDictionaryToLines(textLines, inputs.table).value_or(textLines);
            if (const auto broken = check::CheckCodeParameters(encoderLines, where->second); !broken.empty()) {
                fail(PoImportProblem::BrokenCode).finding = broken.front();
                continue;
            }
            if (characters.latin1.find_first_not_of(" \t\n") == std::string::npos) {
                // Only blanks: most likely a slip, never worth replacing a translation with.
                result.warnings.push_back({PoImportProblem::BlankTranslation, file, entry.line, entry.context});
                ++result.untranslated;
                continue;
            }
            const auto [first, isFirst] = seen.try_emplace({*index, where->second}, FirstTranslation{file, entry.line, characters.latin1});
            if (!isFirst) {
                const bool same = first->second.text == characters.latin1;
                PoImportError repeated{same ? PoImportProblem::SameTwice : PoImportProblem::Duplicate, file, entry.line,
                                       entry.context};
                repeated.otherFile = first->second.file;
                repeated.otherLine = first->second.line;
                (same ? result.warnings : result.errors).push_back(std::move(repeated));
                continue;
            }
            const uint32_t address = inputs.dataFile.blocks[*index].address;
            auto [target, added] = targets.try_emplace(address);
            if (added) {
                target->second.path = script::ScriptPathFor(project.scripts.path, address);
                auto allowed = CheckWritePath(project, project.scripts, target->second.path, allowOutside);
                if (auto* error = std::get_if<ProjectError>(&allowed)) {
                    PoImportError& refused = fail(PoImportProblem::PathNotAllowed);
                    refused.file = project.file;  // a problem of the project file's key
                    refused.pathError = std::move(*error);
                    targets.erase(target);
                    continue;
                }
                std::error_code error;
                std::optional<std::string> text;
                if (std::filesystem::exists(std::filesystem::symlink_status(target->second.path, error))) {
                    text = script::LoadScriptFile(target->second.path);
                } else {
                    const script::TextBlockLoad load =
                        script::LoadTextBlock(inputs.patched.data(), inputs.dataFile.blocks, address);
                    if (load.block) text = script::ScriptSkeleton(load.block->info.stringCount);
                }
                if (!text) {
                    result.errors.push_back({PoImportProblem::ScriptUnreadable, target->second.path, 0, entry.context});
                    targets.erase(target);
                    continue;
                }
                target->second.lines = script::SplitLines(*text);
            }
            std::vector<std::string>& lines = target->second.lines;
            const EntryLines found = findEntry(lines, where->second);
            if (found.opening < 0 || found.closing < 0) {
                fail(PoImportProblem::EntryMissing);
                continue;
            }
            const std::vector<std::string> current(lines.begin() + found.opening + 1, lines.begin() + found.closing);
            std::vector<std::string> replacement = script::SplitLines(characters.latin1);
            if (wrap) {
                // A wrap that would give a row the script's reader takes as structure is left out.
                std::vector<std::string> wrapped = wrapper.wrap(replacement).lines;
                if (std::none_of(wrapped.begin(), wrapped.end(), script::ActsAsKeywordLine)) replacement = std::move(wrapped);
            }
            if (translationOf(current) == script::JoinLines(replacement)) {
                ++result.unchanged;
                continue;
            }
            lines.erase(lines.begin() + found.opening + 1, lines.begin() + found.closing);
            lines.insert(lines.begin() + found.opening + 1, replacement.begin(), replacement.end());
            target->second.changed = true;
            ++result.imported;
        }
    }
    for (const auto& [address, target] : targets) {
        if (target.changed) result.scripts[target.path] = script::JoinLines(target.lines);
    }
    return result;
}

}  // namespace corv::project
