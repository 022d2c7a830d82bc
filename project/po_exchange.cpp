#include "project/po_exchange.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "check/box_lines.h"
#include "check/string_check.h"
#include "core/address.h"
#include "project/po_reader.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/sjis.h"
#include "script/string_decoder.h"
#include "script/string_record.h"

namespace corv::project {
namespace {

std::string hexAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(address));
    return text;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        lines.emplace_back(text.substr(start, end - start));
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

bool hasText(const std::string& line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return c != ' ' && c != '\t' && c != '\r'; });
}

// A script entry's translation as one text: the lines without the empty ones at the end;
// empty when no line has text.
std::string translationOf(const std::vector<std::string>& lines) {
    if (std::none_of(lines.begin(), lines.end(), hasText)) return {};
    size_t count = lines.size();
    while (count > 0 && lines[count - 1].empty()) --count;
    return joinLines({lines.begin(), lines.begin() + long(count)});
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
    script::MemoryScriptText script(joinLines(lines));
    const auto found = script::FindInScript(script, script::EntrySearchText(int(n)), true);
    if (!found) return {};
    // The search matches ".STRING 1" inside ".STRING 10": only the exact number counts.
    std::string opening = lines[size_t(*found)];
    while (!opening.empty() && (opening.back() == ' ' || opening.back() == '\r' || opening.back() == '\t')) {
        opening.pop_back();
    }
    const std::string search = script::EntrySearchText(int(n));
    if (opening.size() != search.size() ||
        !std::equal(opening.begin(), opening.end(), search.begin(),
                    [](char a, char b) { return std::toupper((unsigned char)a) == std::toupper((unsigned char)b); })) {
        return {};
    }
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
    return "BLOCK " + hexAddress(blockAddress) + " STRING " + std::to_string(stringNumber);
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
        const std::string id = script::ShiftJisToUtf8(joinLines(script::KanaTextLines(kana)));
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
        if (const auto lines = script::LookupEntry(script, int(n))) message.str = Latin1ToUtf8(translationOf(*lines));
        po.messages.push_back(std::move(message));
        numbers.push_back(n);
    }
    // Strings that others share: say so on the first too.
    for (size_t i = 0; i < po.messages.size(); ++i) {
        if (shared.contains(numbers[i])) po.messages[i].notes.push_back("other strings show this translation too");
    }
    return po;
}

PoImport ImportPoFiles(const ProjectFile& project, const ProjectInputs& inputs,
                       const std::vector<std::filesystem::path>& files, bool withFuzzy) {
    PoImport result;
    std::map<uint32_t, ImportTarget> targets;  // by block address as listed
    for (const std::filesystem::path& file : files) {
        const PoRead read = ReadPoFile(file);
        if (read.error) {
            result.errors.push_back({PoImportProblem::CannotRead, file, read.errorLine, {}, 0, *read.error});
            continue;
        }
        for (const PoEntry& entry : read.entries) {
            const auto where = ParsePoContext(entry.context);
            const auto index = where ? script::ListedBlockIndex(inputs.dataFile.blocks, where->first) : std::nullopt;
            if (!index) {
                result.errors.push_back({PoImportProblem::UnknownString, file, entry.line, entry.context, 0, {}});
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
            const ScriptCharacters characters = Utf8ToScriptCharacters(entry.str);
            if (characters.badAt) {
                result.errors.push_back(
                    {PoImportProblem::BadCharacter, file, entry.line, entry.context, characters.badCharacter, {}});
                continue;
            }
            const uint32_t address = inputs.dataFile.blocks[*index].address;
            auto [target, added] = targets.try_emplace(address);
            if (added) {
                target->second.path = script::ScriptPathFor(project.scripts.path, address);
                std::error_code error;
                std::optional<std::string> text;
                if (std::filesystem::exists(target->second.path, error)) {
                    text = script::LoadScriptFile(target->second.path);
                } else {
                    const script::TextBlockLoad load =
                        script::LoadTextBlock(inputs.patched.data(), inputs.dataFile.blocks, address);
                    if (load.block) text = script::ScriptSkeleton(load.block->info.stringCount);
                }
                if (!text) {
                    result.errors.push_back({PoImportProblem::ScriptUnreadable, target->second.path, 0, entry.context, 0, {}});
                    targets.erase(target);
                    continue;
                }
                target->second.lines = splitLines(*text);
            }
            std::vector<std::string>& lines = target->second.lines;
            const EntryLines found = findEntry(lines, where->second);
            if (found.opening < 0 || found.closing < 0) {
                result.errors.push_back({PoImportProblem::EntryMissing, file, entry.line, entry.context, 0, {}});
                continue;
            }
            const std::vector<std::string> current(lines.begin() + found.opening + 1, lines.begin() + found.closing);
            if (translationOf(current) == characters.latin1) {
                ++result.unchanged;
                continue;
            }
            std::vector<std::string> replacement = splitLines(characters.latin1);
            lines.erase(lines.begin() + found.opening + 1, lines.begin() + found.closing);
            lines.insert(lines.begin() + found.opening + 1, replacement.begin(), replacement.end());
            target->second.changed = true;
            ++result.imported;
        }
    }
    for (const auto& [address, target] : targets) {
        if (target.changed) result.scripts[target.path] = joinLines(target.lines);
    }
    return result;
}

}  // namespace corv::project
