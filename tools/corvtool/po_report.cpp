#include "tools/corvtool/po_report.h"

#include <cstdio>
#include <ostream>

#include "check/finding_text.h"
#include "core/printable_text.h"
#include "project/po_reader.h"
#include "project/project_error_text.h"
#include "script/script_file.h"
#include "script/substitutions.h"

namespace corv::tool {
namespace {

using project::PoImportProblem;

std::string codePoint(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

// A printable character in UTF-8; empty for a control character or no character at all.
std::string utf8Of(char32_t character) {
    std::string text;
    if (character >= 0xA0 && character <= 0x10FFFF && !(character >= 0xD800 && character <= 0xDFFF)) {
        script::AppendUtf8(text, character);
    }
    return text;
}

// The character itself and its code point: "’" (U+2019).
std::string characterText(char32_t character) {
    const std::string text = utf8Of(character);
    return text.empty() ? codePoint(character) : "\"" + text + "\" (" + codePoint(character) + ")";
}

std::string byteText(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(character));
    return text;
}

std::string shown(std::string_view text) { return core::EscapeControlCharacters(text); }

std::string place(const std::filesystem::path& file, size_t line) {
    return shown(file.string()) + (line > 0 ? ":" + std::to_string(line) : std::string());
}

std::string problemText(const project::PoImportError& problem) {
    const std::string textLine = "line " + std::to_string(problem.textLine) + " of the translation";
    switch (problem.problem) {
    case PoImportProblem::CannotRead: return "cannot read this PO file (missing or unreadable)";
    case PoImportProblem::NotAFile: return "not a regular file (a FIFO, a device or a folder); not read";
    case PoImportProblem::TooLarge:
        return "larger than " + std::to_string(project::kLargestPoFile) + " bytes, far more than any block's PO "
               "file; not read";
    case PoImportProblem::NulByte: return "holds a NUL byte (or an escape of one), which would cut a translation short";
    case PoImportProblem::NotUtf8:
        if (!problem.detail.empty()) {
            return "the file is in " + shown(problem.detail) + " (its charset header); only UTF-8 PO files are read: " +
                   "convert it with msgconv --to-code=UTF-8";
        }
        return textLine + ": the byte " + byteText(problem.character) + " is no UTF-8, though the file must be UTF-8";
    case PoImportProblem::LibraryError: return "cannot read this PO file: " + shown(problem.detail);
    case PoImportProblem::UnknownString: return "names no text string of a listed block";
    case PoImportProblem::BadCharacter:
        return textLine + ": the character " + characterText(problem.character) +
               (problem.character > 0xFF ? " cannot be written in a script file (Latin-1), and no substitution "
                                           "writes it differently"
                                         : " is read by the game as a code, not a character; a table file line "
                                           "such as 7B=" + utf8Of(problem.character) +
                                           " gives it a byte of the game");
    case PoImportProblem::ControlCharacter:
        return textLine + ": the control character " + codePoint(problem.character) + " cannot stand in a translation";
    case PoImportProblem::KeywordLine:
        return textLine + " would be read as a script's \".STRING\" or \".ENDS\" line and open or close entries; a "
               "translation is text only";
    case PoImportProblem::TooLong:
        return "the translation is longer than any block can hold (" + std::to_string(script::kLongestEntryText) +
               " bytes)";
    case PoImportProblem::BrokenCode:
        return "the translation's codes are not whole: " + check::FindingMessage(*problem.finding, {});
    case PoImportProblem::Plural: return "a plural entry (msgid_plural): a game string has one form only";
    case PoImportProblem::Duplicate:
        return "translated differently in " + place(problem.otherFile, problem.otherLine) +
               "; which of the two is meant?";
    case PoImportProblem::EntryMissing: return "the script has no closed entry for this string";
    case PoImportProblem::ScriptUnreadable: return "cannot read this script file";
    case PoImportProblem::TextOutsideEntries:
        return "the script holds \"" + shown(problem.detail) + "\" outside every entry (or in an entry for a string "
               "the block does not have), which the build would drop; put it into its entry or remove it before "
               "importing";
    case PoImportProblem::PathNotAllowed: return {};  // worded as a project error
    case PoImportProblem::SameTwice:
        return "warning: translated the same in " + place(problem.otherFile, problem.otherLine);
    case PoImportProblem::BlankTranslation:
        return "warning: the translation is only blanks; the script's entry is left as it is";
    }
    return {};
}

}  // namespace

void PrintPoImportProblem(std::ostream& err, const project::PoImportError& problem) {
    if (problem.problem == PoImportProblem::PathNotAllowed && problem.pathError) {
        err << "corvtool import-po: " << project::ProjectErrorText(problem.file, *problem.pathError) << '\n';
        return;
    }
    err << "corvtool import-po: " << place(problem.file, problem.line) << ": ";
    if (!problem.context.empty()) err << '"' << shown(problem.context) << "\": ";
    err << problemText(problem) << '\n';
}

std::string UnexportableText(const project::TranslationCheck& check) {
    using project::TranslationProblem;
    switch (check.problem) {
    case TranslationProblem::GameCode:
        return "the byte " + byteText(check.character) + " is read by the game as a code; write the code as its "
               "keyword or an escape";
    case TranslationProblem::Control:
        return "the control byte " + byteText(check.character) + " (a lone carriage return?) has no place in a "
               "translation";
    case TranslationProblem::KeywordLine:
        return "a line that reads as \".STRING\" or \".ENDS\" in another letter case would open or close entries "
               "when imported";
    case TranslationProblem::TooLong:
        return "the entry is longer than any block can hold (" + std::to_string(script::kLongestEntryText) + " bytes)";
    case TranslationProblem::NotUtf8:
    case TranslationProblem::PastLatin1:
    case TranslationProblem::None: break;
    }
    return "its text cannot be imported back";
}

}  // namespace corv::tool
