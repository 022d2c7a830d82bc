#pragma once
// The texts the editor shows: titles, filters, messages and questions, kept together so that the
// window and the session cannot drift apart. Misspellings are the program's own and stay.

#include <cstddef>
#include <string>

namespace corv::editor {

inline constexpr char kApplicationTitle[] = "\"Corvane\" Script Editor";
inline constexpr char kMainCaption[] = "Script Editor: Corvane";

// Open ROM File
inline constexpr char kOpenRomTitle[] = "Open ROM File";
inline constexpr char kOpenRomFilter[] = "SNES ROM | *.s*c; *.fig;";
inline constexpr char kCannotOpenRom[] = "Fatal Error: Could not open file!";
inline constexpr char kWrongRom[] = "Error: This is not the ROM used.\nPlease load the correct ROM.";

// Load Text Block Data File
inline constexpr char kOpenDataFileTitle[] = "Open Text Block Data File";
inline constexpr char kOpenDataFileFilter[] = "Font Format File | *.txt";
inline constexpr char kCannotOpenDataFile[] = "Fatal Error: Could not open FONT file!";

// Load Table File
inline constexpr char kOpenTableTitle[] = "Open TABLE File";
inline constexpr char kOpenTableFilter[] = "Table File | *.tbl";
inline constexpr char kCannotLoadTable[] = "Could not load the table file...";
// Heads of the message that lists the table file's character lines the map does not take.
inline constexpr char kTableCharacterLinesRefused[] =
    "Error: These character lines of the table file cannot be used (the other lines are loaded):";
inline constexpr char kTableCharacterWarnings[] = "The table file's character lines:";

// The line panel after a paste that the substitutions changed.
inline std::string PastedWithSubstitutions(size_t count) {
    return "Pasted: " + std::to_string(count) + " character(s) written as the substitutions say";
}

// Save Rom File
inline constexpr char kRomSaved[] = "ROM File saved successfully!";
inline constexpr char kCannotSaveRom[] = "Fatal Error: Could not open ROM File for saving...";
// The first save of a ROM keeps the file as it was beside it first.
inline constexpr char kBackupNotWrittenPrefix[] = "The backup of the ROM file could not be written: ";
inline constexpr char kBackupNotReadPrefix[] = "The ROM file could not be read to keep its backup: ";
// Asked, before the save replaces it, when another program saved the ROM file since it was opened.
inline constexpr char kRomChangedCaption[] = "ROM File Changed...";
inline constexpr char kRomChangedQuestion[] =
    "The ROM file was changed on disk by another program since it was opened.\nOverwrite those changes?";

// Save Text File
inline constexpr char kTextSavedSuffix[] = " was saved successfully!";
inline constexpr char kCannotSaveTextPrefix[] = "Error: Could not save the text file ";
inline constexpr char kNoBlockChosen[] = "(no block is chosen)";
// The insertion's first refusal, given by Ctrl+I also when no block is chosen.
inline constexpr char kMustLoadTable[] = "Error: Must load a table file first!";

// PATCH Rom File
inline constexpr char kPatchTitle[] = "Select PATCH file(s)...";
// BPS patches are a second choice after the IPS one.
inline constexpr char kPatchFilter[] = "IPS files (*.ips)|*.ips|BPS files (*.bps)|*.bps";

// Du&mp DECOMPRESSED BINARY Data
inline constexpr char kDumpTitle[] = "Dump Working RAM to file...";
inline constexpr char kCannotWriteDump[] = "Error: Could not open file for saving...";

// A script file changed on disk by another program (its name in quotes before each text).
inline constexpr char kScriptChangedCaption[] = "Script Changed on Disk...";
inline constexpr char kScriptChangedLoadQuestion[] =
    " was changed on disk by another program.\nLoad it from disk and drop your edits?";
inline constexpr char kScriptChangedSaveQuestion[] =
    " was changed on disk by another program since the editor loaded it.\nReplace it with the editor's text?";
inline constexpr char kScriptReloadedSuffix[] = " changed on disk: loaded again.";

// Questions asked before work is lost.
inline constexpr char kBlockChangeCaption[] = "File Modified...";
inline constexpr char kBlockChangeQuestion[] = "Current data not saved. Do you wish to save it?";
inline constexpr char kCloseTextCaption[] = "TEXT File Modified...";
inline constexpr char kCloseTextQuestion[] = "TEXT data not saved. Do you wish to save it?";
inline constexpr char kCloseRomCaption[] = "ROM File Modified...";
inline constexpr char kCloseRomQuestion[] = "ROM data modified. Do you wish to save changes?";

// Status bar texts before the first string is chosen.
inline constexpr char kInitialOffsetStatus[] = "Offset: 000000 | PTR: 0000";
inline constexpr char kInitialLineStatus[] = "Control Codes: Visible | VWF: Inactive";

}  // namespace corv::editor
