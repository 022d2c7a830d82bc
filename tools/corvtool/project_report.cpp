#include "tools/corvtool/project_report.h"

#include <ostream>

#include "script/script_file.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

using project::BlockResult;
using project::BlockState;

std::string blockName(uint32_t address) {
    std::string hex = HexWord(address);
    return hex.substr(std::min(hex.find_first_not_of('0'), hex.size() - 1));
}

std::string counts(const BlockResult& block) {
    return std::to_string(block.counts.translated) + '/' + std::to_string(block.counts.strings) +
           " strings translated";
}

// DescribeFit's text after its "BLOCK X: ".
std::string fitText(const BlockResult& block) {
    const std::string line = DescribeFit(block.address, *block.fit);
    const size_t colon = line.find(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

const char* problemText(script::TextBlockProblem problem) {
    switch (problem) {
    case script::TextBlockProblem::NotListed: return "no .BLOCK line names it";
    case script::TextBlockProblem::OutsideRom: return "its address lies past the end of the ROM";
    case script::TextBlockProblem::BadHeader: return "its header fails its check";
    case script::TextBlockProblem::NoRecordEnd: return "its string records have no end: not a text block";
    default: return "cannot be opened";
    }
}

const char* stateName(BlockState state) {
    switch (state) {
    case BlockState::Built: return "built";
    case BlockState::Measured: return "measured";
    case BlockState::Skipped: return "skipped";
    case BlockState::NoScript: return "no-script";
    case BlockState::Untranslated: return "untranslated";
    case BlockState::Unreadable: return "unreadable";
    case BlockState::ScriptUnreadable: return "script-unreadable";
    case BlockState::CheckErrors: return "check-errors";
    case BlockState::DoesNotFit: return "does-not-fit";
    case BlockState::Refused: return "refused";
    }
    return "unknown";
}

unsigned percent(uint64_t part, uint64_t whole) { return whole == 0 ? 0 : static_cast<unsigned>(part * 100 / whole); }

}  // namespace

std::string DescribeBlock(const project::ProjectFile& project, const BlockResult& block) {
    const std::string start = "BLOCK " + blockName(block.address) + ": ";
    const std::string kept = "; kept as in the original";
    switch (block.state) {
    case BlockState::Built:
    case BlockState::Measured:
    case BlockState::DoesNotFit:
        return start + counts(block) + (block.fit ? "; " + fitText(block) : std::string());
    case BlockState::Skipped: return start + "skipped by the project file" + kept;
    case BlockState::NoScript:
        return start + "no script file " + script::ScriptPathFor(project.scripts.path, block.address).string() + kept;
    case BlockState::Untranslated: return start + counts(block) + kept;
    case BlockState::Unreadable: return start + "cannot be read from the ROM: " + problemText(block.problem);
    case BlockState::ScriptUnreadable:
        return start + script::ScriptPathFor(project.scripts.path, block.address).string() +
               ": cannot read this script file";
    case BlockState::CheckErrors:
        return start + counts(block) + "; " + std::to_string(block.errors.size()) +
               " string(s) with errors, not inserted";
    case BlockState::Refused:
        return start + counts(block) + "; " + (block.message ? *block.message : fitText(block));
    }
    return start;
}

void PrintBlockErrors(std::ostream& out, const BlockResult& block, const check::BoxMetrics& box) {
    for (const check::StringReport& string : block.errors) {
        for (const check::Finding& finding : string.findings) {
            out << "BLOCK " << blockName(block.address) << " STRING " << string.number << ": "
                << check::DescribeFinding(finding, box) << '\n';
        }
    }
}

std::string DescribeTotal(std::span<const BlockResult> blocks) {
    size_t built = 0, scripts = 0, characters = 0;
    uint64_t strings = 0, translated = 0, needed = 0;
    int64_t room = 0;
    for (const BlockResult& block : blocks) {
        if (block.state == BlockState::Built) ++built;
        if (block.state != BlockState::NoScript && block.state != BlockState::Skipped &&
            block.state != BlockState::Unreadable) {
            ++scripts;
        }
        strings += block.counts.strings;
        translated += block.counts.translated;
        characters += block.counts.characters;
        if (block.fit && (block.fit->outcome == insert::InsertionOutcome::Inserted ||
                          block.fit->outcome == insert::InsertionOutcome::DoesNotFit)) {
            needed += block.fit->needed;
            room += block.fit->room;
        }
    }
    std::string line = "TOTAL: " + std::to_string(blocks.size()) + " block(s), " + std::to_string(scripts) +
                       " with a script";
    if (built > 0) line += ", " + std::to_string(built) + " inserted";
    line += "; " + std::to_string(translated) + '/' + std::to_string(strings) + " strings translated (" +
            std::to_string(percent(translated, strings)) + "%), " + std::to_string(characters) + " characters";
    if (room > 0) line += "; needs " + std::to_string(needed) + " of " + std::to_string(room) + " bytes of room";
    return line;
}

void PrintStatusJson(std::ostream& out, const project::ProjectFile& project, std::span<const BlockResult> blocks) {
    out << "{\"project\": " << JsonString(project.file.string()) << ",\n \"blocks\": [";
    uint64_t strings = 0, translated = 0, characters = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const BlockResult& block = blocks[i];
        strings += block.counts.strings;
        translated += block.counts.translated;
        characters += block.counts.characters;
        out << (i ? ",\n  " : "\n  ") << "{\"block\": " << JsonString(blockName(block.address)) << ", \"state\": \""
            << stateName(block.state) << "\", \"strings\": " << block.counts.strings
            << ", \"translated\": " << block.counts.translated << ", \"characters\": " << block.counts.characters;
        if (block.fit) {
            out << ", \"needed\": " << block.fit->needed << ", \"room\": " << block.fit->room
                << ", \"left\": " << block.fit->left();
        }
        out << '}';
    }
    out << "],\n \"total\": {\"blocks\": " << blocks.size() << ", \"strings\": " << strings
        << ", \"translated\": " << translated << ", \"characters\": " << characters
        << ", \"summary\": " << JsonString(DescribeTotal(blocks)) << "}}\n";
}

}  // namespace corv::tool
