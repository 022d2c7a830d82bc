#include "script/string_decoder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "core/byte_order.h"
#include "script/block_data_file.h"
#include "script/control_codes.h"
#include "script/string_record.h"

namespace corv::script {

namespace {

constexpr uint16_t kEndMark = 0xFFFF;

// One unit of either stream: a character, a control code with its parameters, or the end.
struct StreamItem {
    enum class Kind { Character, Control, End } kind = Kind::End;
    uint16_t character = 0;   // Character: the 16-bit word, or the byte of the 8-bit stream
    const ControlCode* code = nullptr;  // Control
    uint8_t parameter = 0;              // Control: the low byte
    std::array<uint16_t, kMostParameterWords> words{};  // Control: the words after the code (F9)
};

// Reads the next item at the cursor. A stream that ends without its end mark, or a code whose
// parameters run past the view, ends there.
StreamItem nextItem(core::ByteCursor& cursor, bool byteStream) {
    StreamItem item;
    core::ByteCursor peek = cursor;
    const auto word = peek.u16le();
    if (!word) {
        // A lone last byte of an 8-bit stream is still a character.
        if (byteStream) {
            if (const auto last = cursor.u8()) {
                item.kind = StreamItem::Kind::Character;
                item.character = *last;
            }
        }
        return item;
    }
    if (*word == kEndMark) return item;
    const auto high = static_cast<uint8_t>(*word >> 8);
    if (IsControlKind(high)) {
        item.kind = StreamItem::Kind::Control;
        item.code = &ControlCodeOf(high);
        item.parameter = static_cast<uint8_t>(*word & 0xFF);
        for (size_t i = 0; i < item.code->gameParameterWords; ++i) {
            const auto parameter = peek.u16le();
            if (!parameter) return StreamItem{};
            item.words[i] = *parameter;
        }
        cursor = peek;
        return item;
    }
    item.kind = StreamItem::Kind::Character;
    if (byteStream) {
        item.character = *cursor.u8();
    } else {
        item.character = *word;
        cursor = peek;
    }
    return item;
}

// The bracketed text form of a control code (FC and FD without their line break).
std::string codeText(const StreamItem& item) { return ControlCodeText(*item.code, item.parameter, item.words); }

std::vector<PreviewStep> decodeForPreview(std::span<const uint8_t> bytes, bool hideCodes, bool byteStream) {
    std::vector<PreviewStep> steps;
    core::ByteCursor cursor(bytes);
    int clearWindows = 0;
    for (;;) {
        const StreamItem item = nextItem(cursor, byteStream);
        if (item.kind == StreamItem::Kind::End) break;
        if (item.kind == StreamItem::Kind::Character) {
            steps.push_back({StepKind::Glyph, item.character, {}, false});
            continue;
        }
        switch (item.code->kind) {
            case kCodeNewLine:
                steps.push_back({StepKind::LineBreak, 0, {}, false});
                break;
            case kCodeClearWindow:
                // The label carries its own line break (01 FD) inside its stream.
                if (!hideCodes) {
                    steps.push_back({StepKind::Label, 0, MessageStream(codeText(item) + "\x01\xFD"), false});
                } else if (clearWindows > 0) {
                    steps.push_back({StepKind::LineBreak, 0, {}, false});
                }
                ++clearWindows;
                break;
            case kCodePlayer:
                steps.push_back({StepKind::Label, 0, MessageStream(codeText(item)), true});
                break;
            default:
                if (!hideCodes) steps.push_back({StepKind::Label, 0, MessageStream(codeText(item)), false});
                break;
        }
    }
    steps.push_back({StepKind::End, 0, {}, false});
    return steps;
}

}  // namespace

std::vector<PreviewStep> DecodeGameStringForPreview(std::span<const uint8_t> string, bool hideCodes) {
    return decodeForPreview(string, hideCodes, false);
}

std::vector<GameStringItem> ReadGameStringItems(std::span<const uint8_t> string) {
    std::vector<GameStringItem> items;
    core::ByteCursor cursor(string);
    for (;;) {
        const StreamItem item = nextItem(cursor, false);
        if (item.kind == StreamItem::Kind::End) return items;
        items.push_back({item.code, item.character, item.parameter, item.words});
    }
}

std::vector<PreviewStep> DecodeByteStreamForPreview(std::span<const uint8_t> stream, bool hideCodes) {
    return decodeForPreview(stream, hideCodes, true);
}

std::string MessageStream(std::string_view message) {
    std::string stream(message);
    stream += "\xFF\xFF";
    return stream;
}

std::string DecodeGameStringToText(std::span<const uint8_t> string, const CodeMaps& maps) {
    std::string text;
    core::ByteCursor cursor(string);
    for (;;) {
        const StreamItem item = nextItem(cursor, false);
        if (item.kind == StreamItem::Kind::End) break;
        if (item.kind == StreamItem::Kind::Control) {
            text += codeText(item);
            if (item.code->breaksLine) text += "\r\n";
            continue;
        }
        // The map is keyed by the two bytes in stream order: first byte * 256 + second byte.
        const auto key = static_cast<uint16_t>(((item.character & 0xFF) << 8) | (item.character >> 8));
        const CodeEntry& entry = maps.wordEntry(key);
        if (entry.length != 0) {
            // The stored text is zero-terminated for the decoder: an escaped zero byte ends it.
            text.append(entry.text.c_str());
        } else {
            char fallback[12];
            std::snprintf(fallback, sizeof fallback, "[$%04X]", item.character);
            text += fallback;
        }
    }
    return text;
}

std::string ResolvedString::message() const {
    switch (kind) {
        case ResolvedKind::NonText: return kNonTextMessage;
        case ResolvedKind::HackedText: return kHackedTextMessage;
        case ResolvedKind::GameString: break;
    }
    return {};
}

bool IsTextRecord(std::span<const uint8_t> block, unsigned index) {
    return RecordOffset(index) + kRecordSize <= block.size() && RecordType(block, index) == kTextRecordType;
}

ResolvedString ResolveString(std::span<const uint8_t> block, unsigned index, bool inserted) {
    ResolvedString resolved;
    if (!IsTextRecord(block, index)) return resolved;
    if (inserted) {
        resolved.kind = ResolvedKind::HackedText;
        return resolved;
    }
    resolved.kind = ResolvedKind::GameString;
    resolved.textPointer = RecordTextPointer(block, index);
    resolved.string = block.subspan(std::min<size_t>(resolved.textPointer, block.size()));
    return resolved;
}

std::optional<size_t> InsertedMarkOffset(size_t romSize, uint32_t blockIndex) {
    if (blockIndex >= romSize) return std::nullopt;
    return romSize - 1 - blockIndex;
}

bool BlockIsInserted(std::span<const uint8_t> romData, uint32_t blockIndex) {
    // The mark is one byte: blocks numbered 256 and up can never match it.
    if (blockIndex > 0xFF) return false;
    const std::optional<size_t> mark = InsertedMarkOffset(romData.size(), blockIndex);
    return mark && romData[*mark] == blockIndex;
}

}  // namespace corv::script
