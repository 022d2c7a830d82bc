#pragma once
// The current block and its strings: the editor's block buffer, the block tables filled by the
// block data file, the string records of the chosen block, its script file, and the translated
// preview of the chosen string. The editor owns one StringIndex for the whole run and shows
// what it returns; nothing here asks the user anything itself.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "script/block_data_file.h"
#include "core/block_format.h"
#include "core/rom_image.h"
#include "script/character_map.h"
#include "script/script_text.h"

namespace corv::editor {

inline constexpr uint32_t kGameRamBase = 0x7E0000;  // where the game decompresses a text block

// Asked before another block's script replaces a script with unsaved changes.
class UnsavedScriptHandler {
public:
    virtual ~UnsavedScriptHandler() = default;
    // The script text holds unsaved changes of the existing file `currentPath`. The editor asks
    // "Current data not saved. Do you wish to save it?" and, on Yes, saves to `currentPath`.
    virtual void unsavedScript(const std::filesystem::path& currentPath) = 0;
};

enum class ScriptLoad {
    Existing,       // the block's script file was loaded
    Skeleton,       // it did not exist: the skeleton was written and loaded
    CannotCreate,   // it did not exist and could not be created: the script text is unchanged
    CannotRead,     // it exists but could not be read: the script text is unchanged
};

struct BlockChoice {
    uint32_t end = 0;              // the decompressor's result, also stored in the block end table
    bool terminatorFound = false;  // the record table ends inside the block (else no strings)
    ScriptLoad script = ScriptLoad::Existing;
};

struct StringChoice {
    std::optional<int> matchLine;      // the entry's opening line, std::nullopt without an entry
    std::optional<size_t> caret;       // where the search puts the caret: the entry's opening
    size_t previewLength = 0;          // bytes of the preview stream (0 without an entry)
    std::string offsetStatus;          // first status panel
    std::string kanaCaption;           // "Kana Text: String #i"
};

// "String# %-5d"
[[nodiscard]] std::string StringListLine(unsigned index);
// "Offset: %06X | PTR: %04X -> %06X" for record `index` and the text pointer shown.
[[nodiscard]] std::string OffsetStatusText(unsigned index, uint16_t textPointer);
// "Line {Kana, Ascii}: %d, %d" from the two views' scroll offsets in pixel rows.
[[nodiscard]] std::string LineStatusText(int kanaScrollOffset, int asciiScrollOffset);
// "%u item(s)", the hint of the block and string lists.
[[nodiscard]] std::string ItemsHint(size_t count);

class StringIndex {
public:
    StringIndex();

    // The block list of a data file load: addresses in order, their end entries cleared to 0.
    // The end of a block's room never goes down afterwards: it starts at the data file's
    // .ENDBLOCK, and a block chosen again after its insertion keeps the room it had, as the bytes
    // between the new and the old end of its data belong to no other block.
    void setBlocks(std::span<const script::BlockEntry> blocks);
    // Back to the data file's .ENDBLOCK rooms: a ROM opened afterwards (another file, or the same
    // one after a save) may hold less room than the blocks measured before had.
    void forgetMeasuredRooms();
    [[nodiscard]] size_t blockCount() const { return blockCount_; }
    [[nodiscard]] uint32_t blockAddress(size_t n) const { return n < blockCount_ ? blockAddresses_[n] : 0; }
    [[nodiscard]] uint32_t blockEnd(size_t n) const { return n < blockEnds_.size() ? blockEnds_[n] : 0; }
    // Whether block `n`'s room is known from before any insertion: the data file gives its
    // .ENDBLOCK, or it was chosen without its inserted mark since the block list was set.
    [[nodiscard]] bool originalRoomKnown(size_t n) const { return n < roomKnown_.size() && roomKnown_[n]; }

    // Chooses block `n` of the list: decompresses it from `rom`, lists its strings, and loads its
    // script file from `dumpsDirectory` into `script` (writing the skeleton when the file does not
    // exist yet). std::nullopt, with nothing changed, when no ROM is loaded or `n` is not a block
    // of the list. Afterwards the caller chooses string 0. Clears the script's modified flag. In a
    // translation project the skeleton is the project's (script::ProjectScriptSkeleton).
    std::optional<BlockChoice> chooseBlock(const core::RomImage& rom, size_t n,
                                           const std::filesystem::path& dumpsDirectory, script::ScriptText& script,
                                           UnsavedScriptHandler& unsaved, bool inProject = false);

    // Chooses string `i` of the current block: notes its text pointer (text records only), finds
    // its entry in `script` (searching from its selection, as the editor's search does; nothing
    // in the script moves) and encodes the entry into the preview bytes. std::nullopt when no
    // block is chosen or `i` is not one of its strings. Characters are written as the game's
    // bytes through `characters` (the table file's character map).
    std::optional<StringChoice> chooseString(unsigned i, const script::ScriptText& script,
                                             const script::CharacterMap& characters);

    // The decompressed current block (lower half of the block buffer, 64 KiB).
    [[nodiscard]] std::span<const uint8_t> block() const;
    [[nodiscard]] core::BlockBuffer& blockBuffer() { return *blockBuffer_; }
    [[nodiscard]] const core::BlockBuffer& blockBuffer() const { return *blockBuffer_; }

    [[nodiscard]] bool hasBlock() const { return currentBlock_.has_value(); }
    [[nodiscard]] std::optional<size_t> currentBlock() const { return currentBlock_; }
    [[nodiscard]] uint32_t currentBlockAddress() const { return currentBlockAddress_; }
    [[nodiscard]] uint32_t decompressedLength() const { return decompressedLength_; }
    [[nodiscard]] uint16_t stringCount() const { return stringCount_; }
    [[nodiscard]] const std::vector<std::string>& stringLines() const { return stringLines_; }
    [[nodiscard]] uint32_t stringPointer(unsigned k) const { return k < stringPointers_.size() ? stringPointers_[k] : 0; }
    [[nodiscard]] int currentString() const { return currentString_; }
    [[nodiscard]] const std::filesystem::path& scriptPath() const { return scriptPath_; }
    [[nodiscard]] int matchLine() const { return matchLine_; }

    // The text pointer the status bar shows: that of the last text record chosen.
    [[nodiscard]] uint16_t shownTextPointer() const { return shownTextPointer_; }

    // The preview byte buffer (128 KiB) and the length of its current stream.
    [[nodiscard]] std::span<const uint8_t> previewBytes() const { return previewBytes_; }
    [[nodiscard]] size_t previewLength() const { return previewLength_; }

private:
    std::unique_ptr<core::BlockBuffer> blockBuffer_;
    std::vector<uint32_t> blockAddresses_;
    std::vector<uint32_t> blockEnds_;
    std::vector<std::optional<uint32_t>> dataFileEnds_;  // each block's .ENDBLOCK, when the data file gives one
    std::vector<uint32_t> widestEnds_;  // the farthest end of room known for each block
    std::vector<bool> roomKnown_;       // see originalRoomKnown
    std::vector<uint32_t> stringPointers_;
    size_t blockCount_ = 0;
    std::optional<size_t> currentBlock_;
    uint32_t currentBlockAddress_ = 0;
    uint32_t decompressedLength_ = 0;
    uint16_t stringCount_ = 0;
    std::vector<std::string> stringLines_;
    int currentString_ = 0;
    std::filesystem::path scriptPath_;
    int matchLine_ = -1;
    uint16_t shownTextPointer_ = 0;
    std::vector<uint8_t> previewBytes_;
    size_t previewLength_ = 0;
};

}  // namespace corv::editor
