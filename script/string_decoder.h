#pragma once
// Game strings (16-bit little-endian words ending in 0xFFFF, control codes F0-FD in the high
// byte) and the 8-bit stream (labels, messages, the translated preview): their decoding into
// readable text and into the drawing steps of the text box preview.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/control_codes.h"

namespace corv::script {

class CodeMaps;  // the block data file's 8-bit and 16-bit code maps (block_data_file.h)

inline constexpr char kNonTextMessage[] = "NON-TEXT DATA";
inline constexpr char kHackedTextMessage[] = "ERROR: CAN'T READ HACKED TEXT YET!!!";

enum class StepKind { Glyph, Label, LineBreak, End };

struct PreviewStep {
    StepKind kind = StepKind::End;
    uint16_t code = 0;        // Glyph: the character code (16-bit game code, or an 8-bit byte)
    std::string label;        // Label: the label's own 8-bit stream, end mark included
    bool playerColour = false;  // Label: drawn in the player colour ("[Player]")
};

// Steps for a game string read from `string` (the block from the text pointer on); reading
// stops at the end of the view even without an end mark, and a code whose parameters run past
// the view ends the string there. The last step is always End. An FC label carries its own
// line break inside its stream ("[ClrWin]" 01 FD FF FF): no separate LineBreak step follows it.
// With `hideCodes` only F4 keeps its label; the first FC of a string then draws nothing and
// every later FC breaks the line.
[[nodiscard]] std::vector<PreviewStep> DecodeGameStringForPreview(std::span<const uint8_t> string, bool hideCodes);

// One unit of a game string: a character word, or a control code with its parameters.
struct GameStringItem {
    const ControlCode* code = nullptr;  // nullptr for a character
    uint16_t character = 0;             // a character: its 16-bit word
    uint8_t parameter = 0;              // a code: the low byte of its word
    std::array<uint16_t, kMostParameterWords> words{};  // a code: the words after it (F9)
};

// The units of a game string up to its end mark (or the end of the view, as the decoder reads).
[[nodiscard]] std::vector<GameStringItem> ReadGameStringItems(std::span<const uint8_t> string);

// Steps for an 8-bit stream (each character is one byte).
[[nodiscard]] std::vector<PreviewStep> DecodeByteStreamForPreview(std::span<const uint8_t> stream, bool hideCodes);

// A message as an 8-bit stream: its characters followed by FF FF.
[[nodiscard]] std::string MessageStream(std::string_view message);

// The readable text of a game string through the 16-bit code map, with CR LF line breaks and
// "[$%04X]" for characters without text. Bytes are those of the code table (Shift-JIS).
[[nodiscard]] std::string DecodeGameStringToText(std::span<const uint8_t> string, const CodeMaps& maps);

enum class ResolvedKind { GameString, NonText, HackedText };

struct ResolvedString {
    ResolvedKind kind = ResolvedKind::NonText;
    std::span<const uint8_t> string;  // GameString: the block from the text pointer on
    uint16_t textPointer = 0;         // GameString: word 7 of the record
    [[nodiscard]] bool messageFlag() const { return kind != ResolvedKind::GameString; }
    [[nodiscard]] std::string message() const;  // the message's text for the two other kinds
};

// True when record `index` of the decompressed block is a text record (type word 2); false for
// a record that does not lie inside the block.
[[nodiscard]] bool IsTextRecord(std::span<const uint8_t> block, unsigned index);

// Resolves record `index` of the decompressed block `block` (64 KiB). `inserted` tells whether
// the block carries its inserted mark in the ROM.
[[nodiscard]] ResolvedString ResolveString(std::span<const uint8_t> block, unsigned index, bool inserted);

// Where block `blockIndex`'s inserted mark sits in ROM data of `romSize` bytes: that many bytes
// before its last one; std::nullopt when the data is too short to hold it.
[[nodiscard]] std::optional<size_t> InsertedMarkOffset(size_t romSize, uint32_t blockIndex);

// The inserted mark: the byte at InsertedMarkOffset equals blockIndex. The mark is one byte, so
// blocks numbered 256 and up are never marked.
[[nodiscard]] bool BlockIsInserted(std::span<const uint8_t> romData, uint32_t blockIndex);

}  // namespace corv::script
