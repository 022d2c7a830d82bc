#pragma once
// The preview command's name and help, shared by corvtool, which hands the command on, and the
// corvtool-preview program, which draws.

#include <string_view>

namespace corv::tool {

inline constexpr std::string_view kPreviewName = "preview";
inline constexpr std::string_view kPreviewUsage =
    "ROM DATAFILE ADDRESS (STRING OUT.png | --all DIR) [--script FILE] [--scale N] [--force]";
inline constexpr std::string_view kPreviewSummary =
    "draw the editor's two text boxes for string STRING (or every string) of the text block at ADDRESS (hex) as PNG";
// The program that draws, installed beside corvtool.
inline constexpr std::string_view kPreviewProgram = "corvtool-preview";

}  // namespace corv::tool
