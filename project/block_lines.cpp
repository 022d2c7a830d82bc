#include "project/block_lines.h"

#include <algorithm>
#include <cstdio>

#include "check/finding_text.h"
#include "script/script_file.h"

namespace corv::project {
namespace {

std::string counts(const BlockResult& block) {
    return std::to_string(block.counts.translated) + '/' + std::to_string(block.counts.strings) +
           " strings translated";
}

std::string fitText(const BlockResult& block) { return check::FitText(*block.fit); }

// One "BLOCK 340000 STRING n: warning: ..." line for each finding `shown` takes.
template <typename Shown>
std::vector<std::string> findingLines(uint32_t address, const std::vector<check::StringReport>& strings,
                                      const check::BoxMetrics& box, Shown shown) {
    std::vector<std::string> lines;
    for (const check::StringReport& string : strings) {
        for (const check::Finding& finding : string.findings) {
            if (!shown(finding)) continue;
            lines.push_back("BLOCK " + BlockName(address) + " STRING " + std::to_string(string.number) + ": " +
                            check::DescribeFinding(finding, box));
        }
    }
    return lines;
}

// ", 43 stood in" after the counts of a block given play-test stand-ins.
std::string standIns(const BlockResult& block) {
    return block.standIns.empty() ? std::string() : ", " + std::to_string(block.standIns.size()) + " stood in";
}

std::string numberList(const std::vector<unsigned>& numbers) {
    std::string list;
    for (const unsigned n : numbers) list += (list.empty() ? "" : ", ") + std::to_string(n);
    return list;
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

unsigned percent(uint64_t part, uint64_t whole) { return whole == 0 ? 0 : static_cast<unsigned>(part * 100 / whole); }

}  // namespace

std::string BlockName(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", address);
    return text;
}

std::string DescribeBlock(const ProjectFile& project, const BlockResult& block) {
    const std::string start = "BLOCK " + BlockName(block.address) + ": ";
    const std::string kept = "; kept as in the original";
    switch (block.state) {
    case BlockState::Built:
    case BlockState::Measured:
        return start + counts(block) + standIns(block) + (block.fit ? "; " + fitText(block) : std::string());
    case BlockState::DoesNotFit: {
        std::string line = start + counts(block) + standIns(block) + (block.fit ? "; " + fitText(block) : std::string());
        if (block.maximised && block.maximised->fits()) {
            line += "; fits with --maximise (" + std::to_string(block.maximised->left()) + " bytes left)";
        }
        return line;
    }
    case BlockState::Unfinished:
        return start + counts(block) + "; a release build takes no untranslated string, not inserted: string(s) " +
               numberList(block.counts.untranslated);
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
               " string(s) with errors, not inserted" + (block.fit ? "; " + fitText(block) : std::string());
    case BlockState::Refused:
        return start + counts(block) + "; " + (block.message ? *block.message : fitText(block));
    }
    return start;
}

std::optional<std::string> DescribeWarnings(const BlockResult& block) {
    const size_t count = block.warningCount();
    if (count == 0) return std::nullopt;
    return "BLOCK " + BlockName(block.address) + ": " + std::to_string(count) + " warning(s)";
}

std::vector<std::string> BlockErrorLines(const BlockResult& block, const check::BoxMetrics& box) {
    return findingLines(block.address, block.errors, box, [](const check::Finding&) { return true; });
}

std::vector<std::string> BlockWarningLines(const BlockResult& block, const check::BoxMetrics& box) {
    return findingLines(block.address, block.findings, box, [](const check::Finding& finding) {
        return check::SeverityOf(finding.kind) == check::Severity::Warning &&
               finding.kind != check::FindingKind::EmptyTranslation;
    });
}

std::vector<std::string> BlockFindingLines(const BlockResult& block, const check::BoxMetrics& box, bool emptyTranslations) {
    return findingLines(block.address, block.findings, box, [emptyTranslations](const check::Finding& finding) {
        return emptyTranslations || finding.kind != check::FindingKind::EmptyTranslation;
    });
}

std::string DescribeTotal(std::span<const BlockResult> blocks) {
    size_t built = 0, scripts = 0, characters = 0, stoodIn = 0;
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
        stoodIn += block.standIns.size();
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
    if (stoodIn > 0) line += "; " + std::to_string(stoodIn) + " untranslated string(s) stood in for play-testing";
    if (room > 0) line += "; needs " + std::to_string(needed) + " of " + std::to_string(room) + " bytes of room";
    return line;
}

}  // namespace corv::project
