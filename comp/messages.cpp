#include "comp/messages.h"

#include <cstdint>
#include <cstdio>

#include "core/block_format.h"

namespace corv::comp {

namespace {

std::string bracketed(std::string_view before, std::string_view fileName, std::string_view after) {
    std::string line;
    line.reserve(before.size() + fileName.size() + after.size());
    line.append(before).append(fileName).append(after);
    return line;
}

}  // namespace

std::string ClosedFolderMessage(std::string_view reason) {
    return bracketed(kCannotOpenRom, "\nNo temporary file can be made in its folder: ", reason);
}

std::string SavedMessage(std::string_view fileName) { return bracketed("\"", fileName, "\" has been saved!"); }

std::string DecompressedLine(std::string_view fileName) {
    return bracketed("Sucessfully decompressed \"", fileName, "\"");
}

std::string CannotOpenBlockFileLine(std::string_view fileName) {
    return bracketed("Fatal Error: Could not open \"", fileName, "\".");
}

std::string InvalidBlockLine(std::string_view fileName) {
    return bracketed("Error: Invalid data block. [ ", fileName, " ] ");
}

std::string TooLargeLine(std::string_view fileName, uint32_t excessBytes) {
    return bracketed("Error: Data size too large to recompress. [ ", fileName,
                     " ] [ " + std::to_string(excessBytes) + " BYTES over ]");
}

std::string RecompressedLine(std::string_view fileName) {
    return bracketed("Success: Data was recompressed completely! [ ", fileName, " ] ");
}

std::string ReadBackFailedLine(std::string_view fileName) {
    return bracketed("Error: Recompressed data did not read back correctly. Block left unchanged. [ ", fileName,
                     " ] ");
}

std::string BlockFileTooBigLine(std::string_view fileName, uint64_t fileSize) {
    return bracketed("Error: Block file is too big to recompress. [ ", fileName,
                     " ] [ " + std::to_string(fileSize) + " BYTES, at most " +
                         std::to_string(core::kMaxBlockFileSize) + " ]");
}

std::string BeyondRomLine(std::string_view fileName, uint32_t offset) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", offset);
    return bracketed("Error: Block offset lies beyond the end of the ROM. [ ", fileName,
                     std::string(" ] [ ") + hex + " ]");
}

std::string UnreadableLine(std::string_view line) {
    return bracketed("Error: Could not read the listing line. [ ", line, " ]");
}

}  // namespace corv::comp
