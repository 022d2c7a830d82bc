#pragma once
// The kana dump of the current block: every string's kana text in script entry syntax, written
// to a file ("Dump Ka&na to a file") or shown in the Current Kana Dump window ("&View Kana
// Dump"). Kana lines are split where the Kana Text window wraps them, so the dump reads as the
// window shows it. The kana bytes are the code table's own (Shift-JIS) and reach the file
// unchanged.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "editor/logic/kana_text.h"
#include "script/block_data_file.h"

namespace corv::dialogs {
class Dialogs;
}

namespace corv::editor {

inline constexpr char kKanaDumpDialogTitle[] = "Dump Working RAM to file...";
inline constexpr char kKanaDumpCannotWrite[] = "Error: Could not open file for saving...";
inline constexpr char kKanaDumpWritten[] = "Text Data dumped to the file!";

// What a dump reads; borrowed for the call only.
struct KanaDumpSource {
    bool romLoaded = false;
    std::filesystem::path startDirectory;  // where the save dialog opens
    std::span<const uint8_t> block;        // the decompressed current block (64 KiB)
    unsigned stringCount = 0;              // the entries of the string list
    bool inserted = false;                 // the block carries its inserted mark
    const script::CodeMaps* maps = nullptr;
};

enum class KanaEntryKind {
    Kana,      // a text record: its kana lines
    Inserted,  // a text record of an inserted block: its kana are gone from the ROM
    NonText,   // a record without text
};

struct KanaDumpEntry {
    unsigned index = 0;
    KanaEntryKind kind = KanaEntryKind::NonText;
    std::vector<std::string> lines;  // Kana only: the lines as the Kana Text window shows them
};

// One entry per string of the list, in order.
[[nodiscard]] std::vector<KanaDumpEntry> KanaDumpEntries(const KanaDumpSource& source, const KanaLineWrap& wrap);

// The dump file's text with '\n' line ends: ".STRING i", the kana lines (or "Block is in english
// already." / "NON-TEXT DATA"), ".ENDS" and an empty line per entry.
[[nodiscard]] std::string KanaDumpFileText(const std::vector<KanaDumpEntry>& entries);

// The Current Kana Dump window's text with CR LF line ends. The window is filled item by item,
// each item becoming a line of its own: a kana entry adds ".STRING i", a line break, its lines,
// ".ENDS" and two line breaks, so it stands apart from its neighbours by blank lines; the two
// other kinds add one item holding the whole entry and its blank line.
[[nodiscard]] std::string KanaDumpViewText(const std::vector<KanaDumpEntry>& entries);

enum class KanaDumpOutcome {
    NoRom,      // nothing asked, nothing written
    Cancelled,  // the user cancelled the save dialog
    NotWritten, // the file could not be written: the message said so and any old file is intact
    Written,
};

// "Dump Ka&na to a file": asks for the file (title "Dump Working RAM to file...", in the start
// directory), writes the dump with CR LF line ends through a temporary file, and reports the
// outcome in a message ("Text Data dumped to the file!" or "Error: Could not open file for
// saving...").
KanaDumpOutcome DumpKanaToFile(dialogs::Dialogs& dialogs, const KanaDumpSource& source, const KanaLineWrap& wrap);

}  // namespace corv::editor
