#include "editor/logic/string_index.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "core/block_decoder.h"
#include "core/byte_order.h"
#include "script/string_record.h"
#include "script/preview_encoder.h"
#include "script/script_file.h"
#include "script/string_decoder.h"
#include "script/text_block.h"

namespace corv::editor {

namespace {


bool isExistingFile(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Replaces the script text with the file's text; false (text unchanged) when it cannot be read.
bool loadInto(script::ScriptText& script, const std::filesystem::path& path) {
    const auto text = script::LoadScriptFile(path);
    if (!text) return false;
    script.setText(*text);
    return true;
}

}  // namespace

std::string StringListLine(unsigned index) {
    char line[32];
    std::snprintf(line, sizeof line, "String# %-5u", index);
    return line;
}

std::string OffsetStatusText(unsigned index, uint16_t textPointer) {
    char text[64];
    std::snprintf(text, sizeof text, "Offset: %06X | PTR: %04X -> %06X",
                  static_cast<unsigned>(kGameRamBase + script::RecordOffset(index) + script::kRecordTextPointerOffset), textPointer,
                  static_cast<unsigned>(kGameRamBase + textPointer));
    return text;
}

std::string LineStatusText(int kanaScrollOffset, int asciiScrollOffset) {
    return "Line {Kana, Ascii}: " + std::to_string(kanaScrollOffset / 16) + ", " + std::to_string(asciiScrollOffset / 16);
}

std::string ItemsHint(size_t count) { return std::to_string(count) + " item(s)"; }

StringIndex::StringIndex()
    : blockBuffer_(std::make_unique<core::BlockBuffer>()),
      blockAddresses_(script::kMaxBlocks, 0),
      blockEnds_(script::kMaxBlocks, 0),
      dataFileEnds_(script::kMaxBlocks),
      widestEnds_(script::kMaxBlocks, 0),
      roomKnown_(script::kMaxBlocks, false),
      stringPointers_(script::kMaxBlocks, 0),
      previewBytes_(script::kPreviewBufferSize, 0) {
    blockBuffer_->fill(0);
}

void StringIndex::setBlocks(std::span<const script::BlockEntry> blocks) {
    blockCount_ = std::min(blocks.size(), script::kMaxBlocks);
    for (size_t n = 0; n < blockCount_; ++n) {
        blockAddresses_[n] = blocks[n].address;
        blockEnds_[n] = 0;
        dataFileEnds_[n] = blocks[n].endOfRoom;
    }
    forgetMeasuredRooms();
}

void StringIndex::forgetMeasuredRooms() {
    for (size_t n = 0; n < blockCount_; ++n) {
        widestEnds_[n] = dataFileEnds_[n].value_or(0);
        roomKnown_[n] = dataFileEnds_[n].has_value();
    }
}

std::span<const uint8_t> StringIndex::block() const {
    return blockBuffer_->lower();
}

std::optional<BlockChoice> StringIndex::chooseBlock(const core::RomImage& rom, size_t n,
                                                    const std::filesystem::path& dumpsDirectory, script::ScriptText& script,
                                                    UnsavedScriptHandler& unsaved, bool inProject) {
    if (!rom.loaded() || n >= blockCount_) return std::nullopt;
    BlockChoice choice;
    currentBlockAddress_ = blockAddresses_[n];
    stringCount_ = 0;
    currentBlock_ = n;

    const script::BlockOpening opening = script::OpenBlockInto(rom.data(), currentBlockAddress_, *blockBuffer_);
    choice.end = opening.end;
    if (choice.end != core::kBadBlockHeader) {
        if (!script::BlockIsInserted(rom.data(), static_cast<uint32_t>(n))) roomKnown_[n] = true;
        widestEnds_[n] = std::max(widestEnds_[n], choice.end);
        choice.end = widestEnds_[n];
    }
    blockEnds_[n] = choice.end;
    decompressedLength_ = core::DecompressedLength(*blockBuffer_);

    // A block without a terminator inside its 64 KiB (the all-zero block of a failed header
    // check, or a block that is not text) has no string table: it lists no strings.
    const std::optional<unsigned> count = opening.stringCount;
    choice.terminatorFound = count.has_value();
    stringCount_ = static_cast<uint16_t>(count.value_or(0));
    stringLines_.clear();
    for (unsigned k = 0; k < stringCount_; ++k) {
        stringLines_.push_back(StringListLine(k));
        stringPointers_[k] = script::RecordTextPointer(block(), k);
    }

    const std::filesystem::path newPath = script::ScriptPathFor(dumpsDirectory, currentBlockAddress_);
    if (isExistingFile(scriptPath_) && script.modified()) unsaved.unsavedScript(scriptPath_);
    scriptPath_ = newPath;

    if (isExistingFile(scriptPath_)) {
        choice.script = loadInto(script, scriptPath_) ? ScriptLoad::Existing : ScriptLoad::CannotRead;
    } else if (!script::SaveScriptFile(scriptPath_, inProject ? script::ProjectScriptSkeleton(stringCount_)
                                                                   : script::ScriptSkeleton(stringCount_))) {
        choice.script = ScriptLoad::CannotCreate;
    } else {
        choice.script = loadInto(script, scriptPath_) ? ScriptLoad::Skeleton : ScriptLoad::CannotRead;
    }
    currentString_ = 0;
    script.setModified(false);
    return choice;
}

std::optional<StringChoice> StringIndex::chooseString(unsigned i, const script::ScriptText& script,
                                                      const script::CharacterMap& characters) {
    if (!currentBlock_ || i >= stringCount_) return std::nullopt;
    StringChoice choice;
    currentString_ = static_cast<int>(i);
    // The ROM text drawing leaves the pointer of a text record; other records keep the last one.
    if (script::IsTextRecord(block(), i)) {
        shownTextPointer_ = script::RecordTextPointer(block(), i);
    }
    choice.kanaCaption = "Kana Text: String #" + std::to_string(i);

    const auto match = script::FindInText(script.text(), script.selectionStart(), script.selectionLength(),
                                          script::EntrySearchText(static_cast<int>(i)));
    if (match) {
        choice.matchLine = match->line;
        choice.caret = match->position;
    }
    matchLine_ = choice.matchLine.value_or(-1);
    if (choice.matchLine) {
        const script::EntryCopy entry = script::CopyEntry(script, *choice.matchLine);
        previewLength_ = script::EncodePreview(entry.lines, previewBytes_, characters);
        choice.previewLength = previewLength_;
    }
    choice.offsetStatus = OffsetStatusText(i, shownTextPointer_);
    return choice;
}

}  // namespace corv::editor
