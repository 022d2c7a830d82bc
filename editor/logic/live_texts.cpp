#include "editor/logic/live_texts.h"

#include <algorithm>
#include <cstdio>

#include "check/finding_text.h"

namespace corv::editor {
namespace {

std::string blockName(const LiveChecks& checks) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", unsigned(checks.blockAddress()));
    return text;
}

}  // namespace

std::string GroupedNumber(int64_t value) { return check::GroupedNumber(value); }

std::string RoomFiguresText(const LiveChecks& checks) {
    if (!checks.isOpen()) return {};
    const check::FitFigures& fit = checks.fit();
    std::string text = blockName(checks) + ": ";
    if (const auto problem = check::FitProblemText(fit)) {
        text += *problem;
    } else if (fit.left() >= 0) {
        text += GroupedNumber(int64_t(fit.needed)) + " of " + GroupedNumber(fit.room) + " bytes, " +
                GroupedNumber(fit.left()) + " left";
    } else {
        text += GroupedNumber(-fit.left()) + " bytes over";
    }
    return text;
}

std::string RoomNotesText(const LiveChecks& checks) {
    if (!checks.isOpen()) return {};
    std::string text;
    if (!checks.tableLoaded()) text += "; no table: dictionary words not counted";
    if (checks.roomFromLastInsertion()) text += "; room taken from the last insertion";
    return text;
}

std::string RoomPanelText(const LiveChecks& checks) { return RoomFiguresText(checks) + RoomNotesText(checks); }

std::string RoomPanelNote(const LiveChecks& checks) {
    if (!checks.isOpen() || !checks.roomFromLastInsertion()) return {};
    return check::RoomFromLastInsertionText(checks.fit().room);
}

std::string ProgressText(const LiveChecks& checks) {
    if (!checks.isOpen()) return {};
    return GroupedNumber(int64_t(checks.translatedCount())) + " of " + GroupedNumber(int64_t(checks.strings().size())) +
           " strings translated";
}

std::string StateText(StringState state) {
    switch (state) {
    case StringState::Untranslated: return "not translated yet";
    case StringState::Translated: return "translated";
    case StringState::Warning: return "warning";
    case StringState::Error: return "error";
    }
    return {};
}

std::string StringTooltip(const LiveString& string, const check::BoxMetrics& box) {
    if (string.findings.empty()) return StateText(string.state);
    std::string text;
    for (const check::Finding& finding : string.findings) {
        if (!text.empty()) text += '\n';
        text += check::DescribeFinding(finding, box);
    }
    return text;
}

std::vector<ProblemRow> ProblemRows(const LiveChecks& checks) {
    std::vector<ProblemRow> rows;
    if (const std::string note = RoomPanelNote(checks); !note.empty()) {
        rows.push_back({std::nullopt, check::Severity::Warning, note, false});
    }
    for (const LiveString& string : checks.strings()) {
        for (const check::Finding& finding : string.findings) {
            if (!IsProblem(string, finding)) continue;
            rows.push_back({string.number, check::SeverityOf(finding.kind), check::FindingMessage(finding, checks.box()),
                            finding.kind == check::FindingKind::TrailingLineBreak});
        }
    }
    return rows;
}

std::optional<ScriptCut> TrailingEmptyLineCut(const LiveChecks& checks, std::string_view text, unsigned string) {
    const LiveString* live = checks.string(string);
    if (live == nullptr || !live->closed) return std::nullopt;
    const auto finding = std::find_if(live->findings.begin(), live->findings.end(), [](const check::Finding& f) {
        return f.kind == check::FindingKind::TrailingLineBreak;
    });
    if (finding == live->findings.end()) return std::nullopt;
    // The finding names the entry's line; the entry's opening line is line 0 of it.
    const int line = live->openingLine + finding->line;
    size_t start = 0;
    for (int n = 0; n < line; ++n) {
        start = text.find('\n', start);
        if (start == std::string_view::npos) return std::nullopt;
        ++start;
    }
    // Only an empty line (its line break alone) before the entry's closing line.
    if (line + 1 != live->lastLine || start >= text.size() || text[start] != '\n') return std::nullopt;
    return ScriptCut{start, 1};
}

std::string InsertionRoomLine(const LiveChecks& checks) {
    if (!checks.isOpen()) return {};
    const check::FitFigures& fit = checks.fit();
    if (const auto problem = check::FitProblemText(fit)) return "; Room: the block " + *problem + ".";
    std::string line = "; Room: " + GroupedNumber(int64_t(fit.needed)) + " of " + GroupedNumber(fit.room) +
                       " bytes used, ";
    if (fit.left() >= 0) return line + GroupedNumber(fit.left()) + " left.";
    line += GroupedNumber(-fit.left()) + " bytes over";
    const std::vector<Growth> grown = checks.grownMost(3);
    if (grown.empty()) return line + ".";
    line += "; grew most since the last insertion or save:";
    for (size_t k = 0; k < grown.size(); ++k) {
        line += (k > 0 ? ", String# " : " String# ") + std::to_string(grown[k].number) + " (+" +
                GroupedNumber(grown[k].bytes) + " bytes)";
    }
    return line + ".";
}

}  // namespace corv::editor
