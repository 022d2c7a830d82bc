#include "editor/logic/check_log.h"

#include <cstdio>

#include "check/code_characters.h"
#include "check/finding_text.h"

namespace corv::editor {
namespace {

using check::Finding;
using check::FindingKind;

std::string hexByte(unsigned value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

std::string at(const Finding& finding) {
    return finding.line > 0 ? "line " + std::to_string(finding.line) + ": " : std::string();
}

// The script's own 8-bit character, as the editor shows it.
std::string codeCharacter(const Finding& finding) {
    const std::string start = "\"" + finding.subject + "\" is byte " + hexByte(finding.code) + ", which ";
    switch (check::RoleOfCharacter(finding.code)) {
    case check::CodeCharacterRole::StringEnd: return start + "ends the string: the rest of the entry is lost";
    case check::CodeCharacterRole::DictionaryWord: return start + "the game reads as a dictionary word";
    default: return start + "the game reads as a control code";
    }
}

std::string text(const Finding& finding) {
    switch (finding.kind) {
    case FindingKind::EntryMissing: return "no entry; a placeholder is inserted";
    case FindingKind::WrongEntry: return "the search for its entry finds the line \"" + finding.subject + "\"";
    case FindingKind::EntryNotClosed: return "the entry has no \".ENDS\"; it runs to the end of the script";
    case FindingKind::UnclosedEscape: return at(finding) + "\"[$\" without \"]\"";
    case FindingKind::CodeCharacter: return at(finding) + codeCharacter(finding);
    case FindingKind::EntryRunsOn:
        return at(finding) + "the entry runs on into " +
               (finding.amount >= 0 ? "string " + std::to_string(finding.amount) : std::string("the next entry")) +
               "; its \".ENDS\" is missing or mistyped";
    default: return check::FindingMessage(finding, {});  // the other errors in the checks' own words
    }
}

}  // namespace

std::vector<std::string> CheckErrorLogLines(const check::BlockReport& report) {
    std::vector<std::string> lines;
    for (const check::StringReport& string : report.strings) {
        for (const Finding& finding : string.findings) {
            if (check::SeverityOf(finding.kind) != check::Severity::Error) continue;
            lines.push_back("; Check: STRING " + std::to_string(string.number) + ": " + text(finding));
        }
    }
    return lines;
}

}  // namespace corv::editor
