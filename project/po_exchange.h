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

#include "project/block_work.h"
#include "project/po_text.h"
#include "project/project_file.h"
#include "project/project_inputs.h"

namespace corv::project {

// "BLOCK D01000 STRING 12": the context of a message, and back.
[[nodiscard]] std::string PoContext(uint32_t blockAddress, unsigned stringNumber);
[[nodiscard]] std::optional<std::pair<uint32_t, unsigned>> ParsePoContext(std::string_view context);

// "00D01000.po" in `folder`.
[[nodiscard]] std::filesystem::path PoPathFor(const std::filesystem::path& folder, uint32_t blockAddress);

struct BlockPo {
    uint32_t address = 0;
    std::optional<script::TextBlockProblem> problem;  // the block cannot be opened
    std::vector<PoMessage> messages;
};

// The messages of the listed block at `blockIndex`: every text string whose game string has
// text, with notes on the codes to keep, the box, and strings that share one text.
[[nodiscard]] BlockPo ExportBlockPo(const ProjectFile& project, const ProjectInputs& inputs, size_t blockIndex);

enum class PoImportProblem {
    CannotRead,     // gettext's library refused the file (`detail` holds its description)
    UnknownString,  // the msgctxt names no text string of a listed block
    BadCharacter,   // a character a script cannot hold or that the game reads as a code
    EntryMissing,   // the script has no closed entry for the string to put the translation in
    ScriptUnreadable,
};

struct PoImportError {
    PoImportProblem problem = PoImportProblem::CannotRead;
    std::filesystem::path file;
    size_t line = 0;
    std::string context;
    char32_t character = 0;  // BadCharacter
    std::string detail;
};

struct PoImport {
    std::vector<PoImportError> errors;               // any error: nothing is to be written
    std::map<std::filesystem::path, std::string> scripts;  // the changed script files' new text ('\n')
    size_t imported = 0;      // entries whose translation changed a script
    size_t unchanged = 0;     // translated entries equal to the script's
    size_t fuzzySkipped = 0;  // fuzzy entries left out (without `withFuzzy`)
    size_t untranslated = 0;  // empty msgstr: the script's entry left as it is
};

// Reads the PO files and works out the scripts they change; writes nothing.
[[nodiscard]] PoImport ImportPoFiles(const ProjectFile& project, const ProjectInputs& inputs,
                                     const std::vector<std::filesystem::path>& files, bool withFuzzy);

}  // namespace corv::project
