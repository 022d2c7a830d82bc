#include "tools/corvtool/check_report.h"

#include <cstdio>
#include <ostream>

#include "check/code_characters.h"
#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/script_file.h"
#include "script/text_lines.h"

namespace corv::tool {
namespace {

using check::Finding;
using check::FindingKind;
using check::Severity;

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string codeName(uint8_t code) {
    if (const script::ControlCode* named = script::KeywordFor(code)) {
        std::string name(named->keyword);
        return name.back() == ']' ? name : name + "$..]";
    }
    return "[$" + hex(code, 2) + "00]";
}

std::string lineText(const Finding& finding) {
    return finding.line > 0 ? "line " + std::to_string(finding.line) + ": " : std::string();
}

std::string times(int count) { return count == 1 ? "once" : std::to_string(count) + " times"; }

const char* kindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::EntryMissing: return "entry-missing";
    case FindingKind::WrongEntry: return "wrong-entry";
    case FindingKind::EntryNotClosed: return "entry-not-closed";
    case FindingKind::UnclosedEscape: return "unclosed-escape";
    case FindingKind::EmptyTranslation: return "empty-translation";
    case FindingKind::UnknownBracketWord: return "unknown-bracket-word";
    case FindingKind::MissingGlyph: return "missing-glyph";
    case FindingKind::SwappedEscape: return "swapped-escape";
    case FindingKind::DroppedCode: return "dropped-code";
    case FindingKind::AddedCode: return "added-code";
    case FindingKind::LineTooWide: return "line-too-wide";
    case FindingKind::LineBeyondBox: return "line-beyond-box";
    case FindingKind::RomDiffers: return "rom-differs";
    case FindingKind::CodeCharacter: return "code-character";
    case FindingKind::EntryRunsOn: return "entry-runs-on";
    case FindingKind::StrayKeywordLine: return "stray-keyword-line";
    case FindingKind::TrailingLineBreak: return "trailing-line-break";
    case FindingKind::SharedTextDiffers: return "shared-text-differs";
    }
    return "";
}

// Script characters are 8-bit: shown on a terminal in UTF-8, in JSON as the code point of the
// byte's value (see jsonString).
enum class Characters { Utf8, Bytes };

std::string characterName(uint8_t byte, Characters characters) {
    if (byte < 0xA0) return "the character $" + hex(byte, 2);
    if (characters == Characters::Bytes) return "\"" + std::string(1, static_cast<char>(byte)) + "\"";
    const char utf8[] = {static_cast<char>(0xC0 | byte >> 6), static_cast<char>(0x80 | (byte & 0x3F))};
    return "\"" + std::string(utf8, 2) + "\"";
}

std::string codeCharacterText(uint8_t byte, Characters characters) {
    const std::string start = characterName(byte, characters) + " is byte " + hex(byte, 2) + ", which ";
    switch (check::RoleOfCharacter(byte)) {
    case check::CodeCharacterRole::StringEnd: return start + "ends the string: the rest of the entry is lost";
    case check::CodeCharacterRole::DictionaryWord:
        return start + "the game reads with the byte after it as a dictionary word";
    default: break;
    }
    const script::ControlCode* keyword = script::KeywordFor(byte);
    const std::string code = keyword != nullptr ? "the game reads as " + codeName(byte) : "the game reads as a control code";
    const unsigned parameters = script::IsControlKind(byte) ? script::ControlCodeOf(byte).translatedParameterBytes : 0;
    if (parameters == 1) return start + code + ", taking the byte after it as its length";
    if (parameters == 4) return start + code + ", taking the four bytes after it as its parameters";
    return start + code;
}

std::string message(const Finding& finding, const check::BoxMetrics& box, Characters characters = Characters::Utf8) {
    const std::string at = lineText(finding);
    switch (finding.kind) {
    case FindingKind::EntryMissing:
        return "the script has no entry \"" + script::EntrySearchText(int(finding.string)) +
               "\"; the insertion stores a placeholder in its place";
    case FindingKind::WrongEntry:
        return "the search for \"" + script::EntrySearchText(int(finding.string)) + "\" first finds the line \"" +
               finding.subject + "\"";
    case FindingKind::EntryNotClosed:
        return "the entry has no closing line \".ENDS\"; every line up to the end of the script is encoded "
               "into this string";
    case FindingKind::UnclosedEscape: return at + "\"[$\" without \"]\"; the rest of the line is lost";
    case FindingKind::EmptyTranslation: return "the translation is empty, but the game string has text";
    case FindingKind::UnknownBracketWord:
        return at + "\"" + finding.subject + "\" is no keyword; it is stored as plain characters";
    case FindingKind::MissingGlyph: {
        std::string bytes;
        bool high = false;
        for (const char c : finding.subject) {
            bytes += " $" + hex(static_cast<unsigned char>(c), 2);
            high = high || static_cast<unsigned char>(c) >= 0x80;
        }
        // Bytes from 0x80 up are what an editor saving UTF-8 leaves in a script.
        return at + "no glyph in the translation font for" + bytes +
               (high && finding.code != 0 ? " (is the script saved as UTF-8?)" : "");
    }
    case FindingKind::CodeCharacter: return at + codeCharacterText(finding.code, characters);
    case FindingKind::EntryRunsOn: {
        const std::string next = finding.amount >= 0 ? "string " + std::to_string(finding.amount) : "the next entry";
        const std::string runsOn = "string " + std::to_string(finding.string) + " runs on into " + next;
        if (script::StartsWithIgnoringCase(finding.subject, ".STRING")) {
            return at + "\"" + finding.subject + "\" stands inside the entry: " + runsOn +
                   "; its \".ENDS\" is missing before this line";
        }
        return at + "\"" + finding.subject + "\" is no closing line \".ENDS\": " + runsOn +
               ", whose \".STRING\" line stands inside this entry";
    }
    case FindingKind::StrayKeywordLine:
        return "script line " + std::to_string(finding.amount) + ": \"" + finding.subject +
               "\" stands outside every entry and looks like a mistyped \".ENDS\" or \".STRING\" line; it is ignored";
    case FindingKind::TrailingLineBreak:
        return at + "the entry ends with an empty line: the string gets a line break at its end";
    case FindingKind::SharedTextDiffers:
        return "string " + std::to_string(finding.string) + " shares its text with string " +
               std::to_string(finding.amount) + " in the game: the insertion keeps string " +
               std::to_string(finding.amount) + "'s entry, this one is not used";
    case FindingKind::SwappedEscape: {
        const auto word = unsigned(finding.amount);
        return at + "\"" + finding.subject + "\" writes the bytes " + hex(word >> 8, 2) + " " + hex(word & 0xFF, 2) +
               " in file order; the game string's word $" + hex(word, 4) + " is stored as " + hex(word & 0xFF, 2) +
               " " + hex(word >> 8, 2) + " ([$" + hex(word & 0xFF, 2) + hex(word >> 8, 2) + "])";
    }
    case FindingKind::DroppedCode:
        return "the translation has " + codeName(finding.code) + " " + times(finding.amount) +
               " less than the game string; keep it";
    case FindingKind::AddedCode:
        return "the translation has " + codeName(finding.code) + " " + times(finding.amount) +
               " more than the game string";
    case FindingKind::LineTooWide:
        return at + std::to_string(finding.amount) + " pixel(s) wider than the box (" + std::to_string(box.width) +
               " pixels)";
    case FindingKind::LineBeyondBox:
        return at + "row " + std::to_string(finding.amount) + ", but the box shows " +
               std::to_string(box.visibleRows) + " before the next key wait or window clear";
    case FindingKind::RomDiffers: return "the ROM's bytes differ from the script's encoding";
    }
    return {};
}

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

// JSON strings hold script bytes, which need not be UTF-8: bytes from 0x80 up are written as
// the code points of the same value.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\u" + hex(byte, 4);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* outcomeName(insert::InsertionOutcome outcome) {
    using insert::InsertionOutcome;
    switch (outcome) {
    case insert::InsertionOutcome::Inserted: return "fits";
    case insert::InsertionOutcome::DoesNotFit: return "does-not-fit";
    case insert::InsertionOutcome::LayoutTooLarge: return "too-large";
    case insert::InsertionOutcome::BadOldHeader: return "bad-header";
    case insert::InsertionOutcome::PointerError: return "pointer-error";
    case insert::InsertionOutcome::EndOfTextNotFound: return "end-not-found";
    case insert::InsertionOutcome::NoStrings: return "no-strings";
    default: return "not-inserted";
    }
}

std::string leftOrOver(int64_t left) {
    return left >= 0 ? std::to_string(left) + " bytes left" : std::to_string(-left) + " bytes over";
}

}  // namespace

std::string DescribeFinding(const Finding& finding, const check::BoxMetrics& box) {
    return std::string(severityName(check::SeverityOf(finding.kind))) + ": " + message(finding, box);
}

std::string DescribeMaximisedFit(uint32_t address, const check::FitFigures& maximised) {
    return "BLOCK " + hex(address, 1) + ": with --maximise needs " + std::to_string(maximised.needed) + " bytes, " +
           leftOrOver(maximised.left());
}

std::string JsonString(const std::string& text) { return jsonString(text); }

std::string DescribeFit(uint32_t address, const check::FitFigures& fit) {
    const std::string block = "BLOCK " + hex(address, 1) + ": ";
    using insert::InsertionOutcome;
    switch (fit.outcome) {
    case insert::InsertionOutcome::Inserted:
    case insert::InsertionOutcome::DoesNotFit: {
        const int64_t left = fit.left();
        return block + "needs " + std::to_string(fit.needed) + " bytes, room " + std::to_string(fit.room) +
               " bytes, " + leftOrOver(left);
    }
    case insert::InsertionOutcome::LayoutTooLarge: return block + "cannot be inserted: " + fit.problem;
    case insert::InsertionOutcome::BadOldHeader: return block + "the header in the ROM fails its check";
    case insert::InsertionOutcome::PointerError: return block + "a record without text has no data";
    case insert::InsertionOutcome::EndOfTextNotFound: return block + "the end of its room cannot be found";
    case insert::InsertionOutcome::NoStrings: return block + "has no strings to insert";
    default: return block + "cannot be inserted";
    }
}

std::string DescribeRoomFromLastInsertion(uint32_t address, int64_t room) {
    std::string digits = std::to_string(room < 0 ? -room : room);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(size_t(at), ",");
    return "BLOCK " + hex(address, 1) + ": room taken from the last insertion: " + (room < 0 ? "-" : "") + digits +
           " bytes; the original room may be larger \u2014 give the block's .ENDBLOCK, or build from the original ROM";
}

std::string DescribeTranslatedCount(const check::BlockReport& report) {
    return std::to_string(report.translatedCount()) + " of " + std::to_string(report.strings.size()) +
           " strings translated";
}

void PrintReportText(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box, const TextReportOptions& options) {
    size_t romDiffers = 0;
    for (const check::StringReport& string : report.strings) {
        for (const Finding& finding : string.findings) {
            // A script in the making is mostly empty entries: the count below says how far it is.
            if (finding.kind == FindingKind::EmptyTranslation && !options.verbose) continue;
            out << "STRING " << string.number << ": " << DescribeFinding(finding, box) << '\n';
            if (finding.kind == FindingKind::RomDiffers) ++romDiffers;
        }
    }
    if (report.inserted) {
        out << "ROM: " << report.strings.size() - romDiffers << " of " << report.strings.size()
            << " strings equal the script's encoding\n";
    }
    if (options.untranslated) {
        out << "not translated yet:";
        size_t listed = 0;
        for (const check::StringReport& string : report.strings) {
            if (string.translated) continue;
            out << ' ' << string.number;
            ++listed;
        }
        out << (listed == 0 ? " none\n" : "\n");
    }
    out << DescribeTranslatedCount(report) << '\n';
    if (report.roomFromLastInsertion) out << DescribeRoomFromLastInsertion(address, report.fit.room) << '\n';
    if (report.maximised) out << DescribeMaximisedFit(address, *report.maximised) << '\n';
    out << DescribeFit(address, report.fit) << '\n';
}

void PrintReportJson(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box) {
    out << "{\"block\": " << jsonString(hex(address, 1)) << ", \"outcome\": \"" << outcomeName(report.fit.outcome)
        << "\", \"needed\": " << report.fit.needed << ", \"room\": " << report.fit.room
        << ", \"left\": " << report.fit.left() << ", \"inserted\": " << (report.inserted ? "true" : "false")
        << (report.maximised ? ", \"maximisedNeeded\": " + std::to_string(report.maximised->needed) +
                                   ", \"maximisedLeft\": " + std::to_string(report.maximised->left())
                             : std::string())
        << ", \"translated\": " << report.translatedCount()
        << ", \"roomFromLastInsertion\": " << (report.roomFromLastInsertion ? "true" : "false")
        << ", \"errors\": " << report.count(Severity::Error) << ", \"warnings\": " << report.count(Severity::Warning)
        << ",\n \"summary\": " << jsonString(DescribeFit(address, report.fit)) << ",\n \"strings\": [";
    for (size_t i = 0; i < report.strings.size(); ++i) {
        const check::StringReport& string = report.strings[i];
        out << (i > 0 ? ",\n  " : "\n  ") << "{\"string\": " << string.number
            << ", \"encodedLength\": " << string.encodedLength << ", \"findings\": [";
        for (size_t k = 0; k < string.findings.size(); ++k) {
            const Finding& finding = string.findings[k];
            out << (k > 0 ? ", " : "") << "{\"severity\": \"" << severityName(check::SeverityOf(finding.kind))
                << "\", \"kind\": \"" << kindName(finding.kind) << "\", \"line\": " << finding.line
                << ", \"message\": " << jsonString(message(finding, box, Characters::Bytes)) << "}";
        }
        out << "]}";
    }
    out << "\n ]}\n";
}

}  // namespace corv::tool
