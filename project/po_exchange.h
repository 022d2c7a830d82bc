#pragma once
// The PO exchange of a project's scripts: one PO file per block with a message per text string
// (the game string as msgid, the script's translation as msgstr), and the import of translated
// PO files back into the script files. Export then import without changes leaves every script
// byte for byte as it was: an entry is rewritten only when its translation changed.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "check/string_check.h"
#include "project/block_work.h"
#include "project/po_text.h"
#include "project/project_file.h"
#include "project/project_inputs.h"

namespace corv::project {

// "BLOCK D01000 STRING 12": the context of a message, and back.
[[nodiscard]] std::string PoContext(uint32_t blockAddress, unsigned stringNumber);
[[nodiscard]] std::optional<std::pair<uint32_t, unsigned>> ParsePoContext(std::string_view context);

// "00D01000.po" in `folder` (".pot" for a template).
[[nodiscard]] std::filesystem::path PoPathFor(const std::filesystem::path& folder, uint32_t blockAddress,
                                              bool isTemplate = false);

// A script entry whose text a PO file cannot carry back (see TranslationProblem): the export
// writes no file rather than one that the import would refuse.
struct UnexportableEntry {
    unsigned string = 0;
    int scriptLine = 0;  // 1-based line of the script that holds it
    TranslationCheck check;
};

struct BlockPo {
    uint32_t address = 0;
    std::optional<script::TextBlockProblem> problem;  // the block cannot be opened
    std::optional<UnexportableEntry> unexportable;
    std::vector<PoMessage> messages;
};

// The messages of the listed block at `blockIndex`: every text string whose game string has
// text, with notes on the codes to keep, the box, and strings that share one text.
[[nodiscard]] BlockPo ExportBlockPo(const ProjectFile& project, const ProjectInputs& inputs, size_t blockIndex);

enum class PoImportProblem {
    CannotRead,      // the PO file is missing or unreadable
    NotAFile,        // the PO file is a FIFO, a device or a folder: not read
    TooLarge,        // the PO file is larger than kLargestPoFile: not read
    NulByte,         // the PO file holds a NUL byte, or an escape of one
    NotUtf8,         // its header names another charset (`detail`), or a msgstr holds a byte that
                     // is no UTF-8 (`character`)
    LibraryError,    // gettext's library refused the file (`detail` holds its description)
    UnknownString,   // the msgctxt names no text string of a listed block
    BadCharacter,    // a character a script cannot hold (past U+00FF) or that the game reads as a
                     // code (U+00F0 to U+00FF): `character`
    ControlCharacter,  // a control character other than the tab and the line break: `character`
    KeywordLine,     // a line of the translation (`textLine`) the script's reader would take as
                     // ".STRING" or ".ENDS": it would open or close entries
    TooLong,         // more text than any block can hold
    BrokenCode,      // a code without its parameters, or an escaped end mark (`finding`)
    Plural,          // a msgid_plural entry: a game string has one form
    Duplicate,       // translated differently in another given file (`otherFile`, `otherLine`)
    EntryMissing,    // the script has no closed entry for the string to put the translation in
    ScriptUnreadable,
    TextOutsideEntries,  // the script (`file`) holds text outside every entry at `line` (`detail`,
                         // or an entry for a string past the block's): a check error to mend first
    PathNotAllowed,  // the script it goes into may not be written (`pathError`; `file` is the
                     // project file, whose key leads there)
    // Warnings, which import nothing less:
    SameTwice,       // the same translation in another given file (`otherFile`, `otherLine`)
    BlankTranslation,  // only white space: the script's entry is left as it is
};

struct PoImportError {
    PoImportProblem problem = PoImportProblem::CannotRead;
    std::filesystem::path file = {};
    size_t line = 0;
    std::string context = {};
    char32_t character = 0;  // NotUtf8, BadCharacter, ControlCharacter
    std::string detail = {};
    size_t textLine = 0;     // KeywordLine: 1 for the translation's first line
    std::filesystem::path otherFile = {};  // Duplicate, SameTwice
    size_t otherLine = 0;
    std::optional<ProjectError> pathError = std::nullopt;  // PathNotAllowed
    std::optional<check::Finding> finding = std::nullopt;  // BrokenCode, as the checks word it
};

struct PoImport {
    std::vector<PoImportError> errors;               // any error: nothing is to be written
    std::vector<PoImportError> warnings;             // told, but the import goes on
    std::map<std::filesystem::path, std::string> scripts;  // the changed script files' new text ('\n')
    size_t imported = 0;      // entries whose translation changed a script
    size_t unchanged = 0;     // translated entries equal to the script's
    size_t fuzzySkipped = 0;  // fuzzy entries left out (without `withFuzzy`)
    size_t untranslated = 0;  // empty (or blank) msgstr: the script's entry left as it is
    size_t substituted = 0;   // characters written differently by the project's substitutions
};

// Reads the PO files and works out the scripts they change; writes nothing. A translation is
// text, never structure: every msgstr goes between its entry's opening and closing line, and
// one that holds a keyword line, a character a script cannot hold, or more than a block can, is
// an error that refuses the whole import. Every script it changes must be one the project may
// write (write_paths.h; `allowOutside` as --allow-outside gives it). The project's substitutions
// are applied to each translation first. With `wrap` each translation is then wrapped to the box
// as the project's [wrap] table says (check/box_wrap.h).
[[nodiscard]] PoImport ImportPoFiles(const ProjectFile& project, const ProjectInputs& inputs,
                                     const std::vector<std::filesystem::path>& files, bool withFuzzy,
                                     bool allowOutside = false, bool wrap = false);

}  // namespace corv::project
