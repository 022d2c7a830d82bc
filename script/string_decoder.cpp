#include "script/string_decoder.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "script/block_data_file.h"
#include "core/byte_order.h"
#include "script/string_record.h"

namespace corv::script {

namespace {

constexpr uint16_t kEndMark = 0xFFFF;
constexpr uint8_t kPlayerKind = 0xF4;
constexpr uint8_t kYesNoKind = 0xF9;
constexpr uint8_t kClearWindowKind = 0xFC;
constexpr uint8_t kNewLineKind = 0xFD;

bool isControlKind(uint8_t high) { return high >= 0xF0 && high <= 0xFD; }

// One unit of either stream: a character, a control code with its parameters, or the end.
struct StreamItem {
    enum class Kind { Character, Control, End } kind = Kind::End;
    uint16_t character = 0;   // Character: the 16-bit word, or the byte of the 8-bit stream
    uint8_t kind8 = 0;        // Control: the kind (F0 to FD)
    uint8_t parameter = 0;    // Control: the low byte
    uint16_t yes = 0, no = 0; // Control F9: the two parameter words
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
    if (isControlKind(high)) {
        item.kind = StreamItem::Kind::Control;
        item.kind8 = high;
        item.parameter = static_cast<uint8_t>(*word & 0xFF);
        if (high == kYesNoKind) {
            const auto yes = peek.u16le();
            const auto no = peek.u16le();
            if (!yes || !no) return StreamItem{};
            item.yes = *yes;
            item.no = *no;
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
std::string codeText(const StreamItem& item) {
    char text[48];
    switch (item.kind8) {
        case 0xF0: return "[Key]";
        case 0xF1: std::snprintf(text, sizeof text, "[Pause$%02X]", item.parameter); return text;
        case 0xF2: return "[$F200]";
        case 0xF3: return "[SFX]";
        case 0xF4: return "[Player]";
        case 0xF5: return "[MEM_Num]";
        case 0xF6: return "[MEM_Text]";
        case 0xF7: return "[FadeIn]";
        case 0xF8: return "[FadeOut]";
        case 0xF9:
            std::snprintf(text, sizeof text, "[Yes-No][$%04X][$%04X]", item.yes, item.no);
            return text;
        case 0xFA: return "[$FA00]";
        case 0xFB: return "[FixTextBox]";
        case 0xFC: return "[ClrWin]";
        default: return {};
    }
}

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
        switch (item.kind8) {
            case kNewLineKind:
                steps.push_back({StepKind::LineBreak, 0, {}, false});
                break;
            case kClearWindowKind:
                // The label carries its own line break (01 FD) inside its stream.
                if (!hideCodes) {
                    steps.push_back({StepKind::Label, 0, "[ClrWin]\x01\xFD\xFF\xFF", false});
                } else if (clearWindows > 0) {
                    steps.push_back({StepKind::LineBreak, 0, {}, false});
                }
                ++clearWindows;
                break;
            case kPlayerKind:
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
            if (item.kind8 == kClearWindowKind || item.kind8 == kNewLineKind) text += "\r\n";
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

bool BlockIsInserted(std::span<const uint8_t> romData, uint32_t blockIndex) {
    // The mark is one byte: blocks numbered 256 and up can never match it.
    if (blockIndex > 0xFF || blockIndex >= romData.size()) return false;
    return romData[romData.size() - 1 - blockIndex] == blockIndex;
}

}  // namespace corv::script
