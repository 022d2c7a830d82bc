#pragma once
// The texts the editor shows for a translation project: the menu items it adds, its file
// dialog, and the messages of the build and of the commands a project does otherwise.

namespace corv::editor {

inline constexpr char kOpenProjectTitle[] = "Open Translation Project";
inline constexpr char kOpenProjectFilter[] = "Translation Project | *.toml";

// Build Project outside a project.
inline constexpr char kBuildNeedsProject[] =
    "Build Project makes the translated ROM of a translation project from its original ROM: open "
    "one first (File > Open Project...).";

// The build's log (the insertion progress window) and its messages.
inline constexpr char kBuildCaption[] = "Building the project...";
inline constexpr char kBuildSavedScriptPrefix[] = "Script saved: ";
inline constexpr char kBuildWrittenSuffix[] = " written";
inline constexpr char kBuildNothingWritten[] = "Nothing was written: ";
// What stopped the build and why an output was not written: project/build_outcome_text.h.
inline constexpr char kBuildReleaseNotEmpty[] =
    ": the release folder holds this file, which the release does not write; move it away.";
inline constexpr char kBuildFailedMessage[] =
    "The project was not built: nothing was written.\nThe build log says why.";

// Commands that change the ROM in memory, which in a project stays the original.
inline constexpr char kProjectPatchesInFile[] =
    "In a translation project the original ROM is never changed: list the IPS patch in the project "
    "file's 'patches' and build the project (Ctrl+R).";
inline constexpr char kProjectDictionaryInBuild[] =
    "In a translation project the original ROM is never changed: the build writes the dictionary "
    "into the translated ROM (Ctrl+R).";

// Keeping the editor's state in the project file when the project is closed.
inline constexpr char kCannotKeepStatePrefix[] = "The editor's state could not be kept in ";

}  // namespace corv::editor
