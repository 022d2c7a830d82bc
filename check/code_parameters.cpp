#include "check/code_parameters.h"

#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/script_line_reader.h"

namespace corv::check {
namespace {

enum class Origin { Text, Keyword, Escape, LineBreak, End };

// One byte of the encoded string and what wrote it.
struct SourcedByte {
    uint8_t value = 0;
    Origin origin = Origin::Text;
    int line = 0;            // 1 for the entry's first line
    std::string_view token;  // the keyword or escape as written
};

std::vector<SourcedByte> sourcedBytes(std::span<const std::string> lines) {
    std::vector<SourcedByte> bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        if (i > 0) bytes.push_back({script::kLineBreakByte, Origin::LineBreak, lineNumber, {}});
        const std::string_view line = lines[i];
        script::ScriptLineReader reader(line, script::kScriptEncoderRules);
        script::ScriptToken token;
        while (reader.next(token)) {
            const std::string_view text = line.substr(token.start, token.size);
            switch (token.kind) {
            case script::ScriptTokenKind::Keyword: bytes.push_back({token.code->kind, Origin::Keyword, lineNumber, text}); break;
            case script::ScriptTokenKind::Escape:
                script::ForEachEscapeByte(line, token, script::PairBlanks::Skipped, [&](uint8_t byte) {
                    bytes.push_back({byte, Origin::Escape, lineNumber, text});
                });
                break;
            case script::ScriptTokenKind::Text:
            case script::ScriptTokenKind::BracketWord:
                for (const char c : text) bytes.push_back({static_cast<uint8_t>(c), Origin::Text, lineNumber, {}});
                break;
            }
        }
    }
    bytes.push_back({script::kStringEndByte, Origin::End, int(lines.size()), {}});
    return bytes;
}

size_t parameterBytes(uint8_t byte) {
    if (byte == kDictionaryPrefix) return 1;
    return script::IsControlKind(byte) ? script::ControlCodeOf(byte).translatedParameterBytes : 0;
}

}  // namespace

std::vector<Finding> CheckCodeParameters(std::span<const std::string> encoderLines, unsigned number) {
    std::vector<Finding> findings;
    const std::vector<SourcedByte> bytes = sourcedBytes(encoderLines);
    // Read as the game reads: a code takes its parameters whatever they are; the first FF that is
    // no parameter ends the string.
    for (size_t p = 0; p < bytes.size();) {
        const SourcedByte& at = bytes[p];
        const bool written = at.origin == Origin::Keyword || at.origin == Origin::Escape;
        if (at.value == script::kStringEndByte) {
            if (at.origin == Origin::Escape) {
                findings.push_back({FindingKind::EscapedEndMark, number, at.line, 0, at.value, std::string(at.token)});
            }
            break;
        }
        const size_t parameters = parameterBytes(at.value);
        if (written && parameters > 0) {
            bool whole = p + parameters < bytes.size();
            for (size_t k = p + 1; whole && k <= p + parameters; ++k) whole = bytes[k].origin == Origin::Escape;
            if (!whole) {
                findings.push_back({FindingKind::CodeWithoutParameters, number, at.line, int(parameters), at.value,
                                    std::string(at.token)});
            }
        }
        p += 1 + parameters;
    }
    return findings;
}

}  // namespace corv::check
