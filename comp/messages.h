#pragma once
// Every text the compression utility shows: message boxes and list-box lines. The wording
// (misspellings included) is what users of the utility already know, so it stays as it is.

#include <cstdint>
#include <string>
#include <string_view>

namespace corv::comp {

// Message boxes.
inline constexpr std::string_view kCannotOpenRom = "Error: Could not open ROM file.";
inline constexpr std::string_view kOutOfMemory = "Fatal Error: Could not allocate needed memory.";
inline constexpr std::string_view kWrongRom = "This is not the correct ROM.\nPlease load the correct ROM file.";
inline constexpr std::string_view kCannotCreateListing = "Error: Could not create needed directory.";
inline constexpr std::string_view kCannotCreateBlockFile =
    "Fatal Error: Could not open output file. Closing decompressor...";
inline constexpr std::string_view kCannotOpenListing = "Error: Could not open TEXT SOURCE file.";
// Asked before Save ROM File replaces a file another program saved since it was opened.
inline constexpr std::string_view kRomChangedCaption = "ROM File Changed...";
inline constexpr std::string_view kRomChangedQuestion =
    "The ROM file was changed on disk by another program since it was opened.\nOverwrite those changes?";

// Save ROM File refused because the ROM's folder takes no new file (the save writes one there
// first); `reason` is the system's.
[[nodiscard]] std::string closedFolderMessage(std::string_view reason);
// An area whose pointer table does not lie wholly inside the ROM: nothing is decompressed.
inline constexpr std::string_view kAreaTableOutsideRom = "Error: The table of this area lies past the end of the ROM.";

// "name" has been saved!
[[nodiscard]] std::string savedMessage(std::string_view fileName);

// List-box lines of the decompression walk.
[[nodiscard]] std::string decompressedLine(std::string_view fileName);

// List-box lines of the recompression, one per acted-on listing line.
[[nodiscard]] std::string cannotOpenBlockFileLine(std::string_view fileName);
[[nodiscard]] std::string invalidBlockLine(std::string_view fileName);
[[nodiscard]] std::string tooLargeLine(std::string_view fileName, uint32_t excessBytes);
[[nodiscard]] std::string recompressedLine(std::string_view fileName);
// The new block did not decode back to the file; nothing was written.
[[nodiscard]] std::string readBackFailedLine(std::string_view fileName);
// Lines for entries the utility refuses before compressing (nothing is written for them).
[[nodiscard]] std::string blockFileTooBigLine(std::string_view fileName, uint64_t fileSize);
[[nodiscard]] std::string beyondRomLine(std::string_view fileName, uint32_t offset);
[[nodiscard]] std::string unreadableLine(std::string_view line);

}  // namespace corv::comp
