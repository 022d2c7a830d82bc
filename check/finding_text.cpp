#include "check/finding_text.h"

#include <cstdio>

#include "core/ascii.h"
#include "check/code_characters.h"
#include "core/printable_text.h"
#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/script_file.h"
#include "script/text_lines.h"

namespace corv::check {
namespace {

std::string codeName(uint8_t code) {
    if (const script::ControlCode* named = script::KeywordFor(code)) {
        std::string name(named->keyword);
        return name.back() == ']' ? name : name + "$..]";
    }
    return "[$" + core::HexText(code, 2) + "00]";
}

// How a code's parameters are written in a script.
std::string parameterExample(uint8_t code) {
    if (code == kDictionaryPrefix) return "[$0141]";
    if (code == script::kCodePause) return "[PAUSE$1E]";
    if (code == script::kCodeYesNo) return "[YES-NO][$1234][$5678]";
    return codeName(code);
}

std::string lineText(const Finding& finding) {
    return finding.line > 0 ? "line " + std::to_string(finding.line) + ": " : std::string();
}

std::string times(int count) { return count == 1 ? "once" : std::to_string(count) + " times"; }

std::string characterName(uint8_t byte, FindingCharacters characters) {
    if (byte < 0xA0) return "the character $" + core::HexText(byte, 2);
    if (characters == FindingCharacters::Bytes) return "\"" + std::string(1, static_cast<char>(byte)) + "\"";
    const char utf8[] = {static_cast<char>(0xC0 | byte >> 6), static_cast<char>(0x80 | (byte & 0x3F))};
    return "\"" + std::string(utf8, 2) + "\"";
}

std::string codeCharacterText(uint8_t byte, FindingCharacters characters) {
    const std::string start = characterName(byte, characters) + " is byte " + core::HexText(byte, 2) + ", which ";
    switch (RoleOfCharacter(byte)) {
    case CodeCharacterRole::StringEnd: return start + "ends the string: the rest of the entry is lost";
    case CodeCharacterRole::DictionaryWord:
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

}  // namespace

std::string FindingMessage(const Finding& finding, const BoxMetrics& box, FindingCharacters characters) {
    const std::string at = lineText(finding);
    // Script text may hold control characters that would act on a terminal.
    const std::string subject = core::EscapeControlCharacters(finding.subject);
    switch (finding.kind) {
    case FindingKind::EntryMissing:
        return "the script has no entry \"" + script::EntrySearchText(int(finding.string)) +
               "\"; the insertion stores a placeholder in its place";
    case FindingKind::WrongEntry:
        return "the search for \"" + script::EntrySearchText(int(finding.string)) + "\" first finds the line \"" +
               subject + "\"";
    case FindingKind::EntryNotClosed:
        return "the entry has no closing line \".ENDS\"; every line up to the end of the script is encoded "
               "into this string";
    case FindingKind::UnclosedEscape: return at + "\"[$\" without \"]\"; the rest of the line is lost";
    case FindingKind::EmptyTranslation: return "the translation is empty, but the game string has text";
    case FindingKind::UnknownBracketWord:
        return at + "\"" + subject + "\" is no keyword; it is stored as plain characters";
    case FindingKind::MissingGlyph: {
        std::string bytes;
        bool high = false;
        for (const char c : finding.subject) {
            bytes += " $" + core::HexText(static_cast<unsigned char>(c), 2);
            high = high || static_cast<unsigned char>(c) >= 0x80;
        }
        // Bytes from 0x80 up are what an editor saving UTF-8 leaves in a script.
        return at + "no glyph in the translation font for" + bytes +
               (high && finding.code != 0 ? " (is the script saved as UTF-8?)" : "");
    }
    case FindingKind::CodeCharacter: return at + codeCharacterText(finding.code, characters);
    case FindingKind::SharedByte:
        return at + (finding.code > 0x20 && finding.code < 0x7F ? "\"" + subject + "\"" : characterName(finding.code, characters)) +
               " is written as its own byte " + core::HexText(finding.code, 2) +
               ", which the table file gives to " + characterName(static_cast<uint8_t>(finding.amount), characters) +
               ": the game shows that letter, and the readback gives it back";
    case FindingKind::EntryRunsOn: {
        const std::string next = finding.amount >= 0 ? "string " + std::to_string(finding.amount) : "the next entry";
        const std::string runsOn = "string " + std::to_string(finding.string) + " runs on into " + next;
        if (script::StartsWithIgnoringCase(subject, script::kOpeningKeyword)) {
            return at + "\"" + subject + "\" stands inside the entry: " + runsOn +
                   "; its \".ENDS\" is missing before this line";
        }
        return at + "\"" + subject + "\" is no closing line \".ENDS\": " + runsOn +
               ", whose \".STRING\" line stands inside this entry";
    }
    case FindingKind::StrayKeywordLine:
        return "script line " + std::to_string(finding.amount) + ": \"" + subject +
               "\" stands outside every entry and looks like a mistyped \".ENDS\" or \".STRING\" line; it is ignored";
    case FindingKind::TextOutsideEntry:
        return "script line " + std::to_string(finding.amount) + ": \"" + subject +
               "\" stands outside every entry (not between a \".STRING\" line and its \".ENDS\"): no string holds "
               "it, and it would be dropped";
    case FindingKind::EntryPastBlock:
        return "script line " + std::to_string(finding.amount) + ": \"" + subject + "\" opens an entry the block has no "
               "string for: it has " + std::to_string(finding.count) + " string(s), 0 to " +
               std::to_string(finding.count == 0 ? 0 : finding.count - 1) + ", and this entry would be ignored";
    case FindingKind::TrailingLineBreak:
        return at + "the entry ends with an empty line: the string gets a line break at its end";
    case FindingKind::SharedTextDiffers:
        return "string " + std::to_string(finding.string) + " shares its text with string " +
               std::to_string(finding.amount) + " in the game: the insertion keeps string " +
               std::to_string(finding.amount) + "'s entry, this one is not used";
    case FindingKind::SwappedEscape: {
        const auto word = unsigned(finding.amount);
        return at + "\"" + subject + "\" writes the bytes " + core::HexText(word >> 8, 2) + " " + core::HexText(word & 0xFF, 2) +
               " in file order; the game string's word $" + core::HexText(word, 4) + " is stored as " + core::HexText(word & 0xFF, 2) +
               " " + core::HexText(word >> 8, 2) + " ([$" + core::HexText(word & 0xFF, 2) + core::HexText(word >> 8, 2) + "])";
    }
    case FindingKind::DroppedCode:
        return "the translation has " + codeName(finding.code) + " " + times(finding.amount) +
               " less than the game string; keep it";
    case FindingKind::AddedCode:
        return "the translation has " + codeName(finding.code) + " " + times(finding.amount) +
               " more than the game string";
    case FindingKind::LineTooWide:
        return at + std::to_string(finding.amount) + " pixel(s) wider than the box (" + std::to_string(box.width) +
               " pixels)" +
               (finding.wrappedRows == 0   ? std::string()
                : finding.wrappedOver == 0 ? "; wraps into " + std::to_string(finding.wrappedRows) + " lines"
                                           : "; does not fit even wrapped: " + std::to_string(finding.wrappedOver) + " rows over");
    case FindingKind::LineBeyondBox:
        return at + "row " + std::to_string(finding.amount) + ", but the box shows " +
               std::to_string(box.visibleRows) + " before the next key wait or window clear";
    case FindingKind::RomDiffers: return "the ROM's bytes differ from the script's encoding";
    case FindingKind::EntryTooLong:
        return "the entry holds " + GroupedNumber(finding.amount) + " bytes of text, more than any block can hold (" +
               GroupedNumber(int64_t(script::kLongestEntryText)) + "); it is not checked further";
    case FindingKind::CodeWithoutParameters: {
        const bool escape = script::StartsWithIgnoringCase(subject, "[$");
        const std::string code = finding.code == kDictionaryPrefix ? "the dictionary reference 01" : codeName(finding.code);
        const std::string written = escape ? "\"" + subject + "\" writes " + code : code;
        const std::string bytes = finding.amount == 1 ? "1 parameter byte" : std::to_string(finding.amount) + " parameter bytes";
        return at + written + ", which takes " + bytes + ", but no escape gives " + (finding.amount == 1 ? "it" : "them") +
               " right after it (\"" + parameterExample(finding.code) + "\"): the game takes what follows (text, a line " +
               "break, the string's end mark and the next string's bytes) as its " + (finding.amount == 1 ? "parameter" : "parameters");
    }
    case FindingKind::EscapedEndMark:
        return at + "\"" + subject + "\" writes FF where the game reads the end mark: the string ends there " +
               "and nothing after it is shown";
    case FindingKind::DuplicateEntry:
        return "script line " + std::to_string(finding.amount) + " holds a second \"" +
               script::EntrySearchText(int(finding.string)) + "\" line: only the first entry of a string is inserted " +
               "(was a keyword line pasted into another entry?)";
    case FindingKind::StrayClosingLine:
        return "script line " + std::to_string(finding.amount) + " holds a second \".ENDS\" after this entry's own: " +
               "the lines between belong to no string and are not inserted (was an \".ENDS\" pasted into the entry?)";
    }
    return {};
}

const char* SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

std::string DescribeFinding(const Finding& finding, const BoxMetrics& box) {
    return std::string(SeverityName(SeverityOf(finding.kind))) + ": " + FindingMessage(finding, box);
}

std::optional<std::string> FitProblemText(const FitFigures& fit) {
    using insert::InsertionOutcome;
    switch (fit.outcome) {
    case InsertionOutcome::Inserted:
    case InsertionOutcome::DoesNotFit: return std::nullopt;
    case InsertionOutcome::LayoutTooLarge: return "cannot be inserted: " + fit.problem;
    case InsertionOutcome::BadOldHeader: return "the header in the ROM fails its check";
    case InsertionOutcome::PointerError: return "a record without text has no data";
    case InsertionOutcome::EndOfTextNotFound: return "the end of its room cannot be found";
    case InsertionOutcome::NoStrings: return "has no strings to insert";
    default: return "cannot be inserted";
    }
}

std::string LeftOrOverText(int64_t left) {
    return left >= 0 ? std::to_string(left) + " bytes left" : std::to_string(-left) + " bytes over";
}

std::string FitText(const FitFigures& fit) {
    if (const auto problem = FitProblemText(fit)) return *problem;
    return "needs " + std::to_string(fit.needed) + " bytes, room " + std::to_string(fit.room) + " bytes, " +
           LeftOrOverText(fit.left());
}

std::string GroupedNumber(int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string grouped;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) grouped += ',';
        grouped += digits[k];
    }
    return value < 0 ? "-" + grouped : grouped;
}

std::string RoomFromLastInsertionText(int64_t room) {
    return "room taken from the last insertion: " + GroupedNumber(room) +
           " bytes; the original room may be larger \u2014 give the block's .ENDBLOCK, or build from the original ROM";
}

}  // namespace corv::check
