#include "check/wrap_words.h"

#include <algorithm>

#include "script/control_codes.h"
#include "script/script_line_reader.h"

namespace corv::check {
namespace {

// Where codes and escapes lie, as the encoder or the preview reads the line: the two read
// "[PAUSE" and escapes after keywords differently, and neither reading may be cut.
struct CodeSpans {
    std::vector<bool> inside;  // the character belongs to a code or an escape
    std::vector<bool> joined;  // the character belongs to the same code as the one before it
};

CodeSpans FindCodes(std::string_view text) {
    CodeSpans spans{std::vector<bool>(text.size(), false), std::vector<bool>(text.size(), false)};
    for (const script::ScriptLineRules& rules : {script::kScriptEncoderRules, script::kPreviewRules}) {
        script::ScriptLineReader reader(text, rules);
        script::ScriptToken token;
        while (reader.next(token)) {
            if (token.kind == script::ScriptTokenKind::Text) continue;
            const size_t end = std::min(token.end(), text.size());
            for (size_t i = token.start; i < end; ++i) {
                spans.inside[i] = true;
                if (i > token.start) spans.joined[i] = true;
            }
        }
    }
    return spans;
}

bool isBreakSpace(std::string_view text, const std::vector<bool>& inside, size_t at) {
    return text[at] == ' ' && !inside[at];
}

}  // namespace

LineWords SplitWords(std::string_view text) {
    LineWords split;
    const std::vector<bool> inside = FindCodes(text).inside;
    size_t wordStart = 0;
    while (wordStart < text.size() && isBreakSpace(text, inside, wordStart)) ++wordStart;
    if (wordStart == text.size()) {
        split.words.push_back(text);
        return split;
    }
    wordStart = 0;  // leading spaces stay with the first word
    size_t at = 0;
    for (;;) {
        while (at < text.size() && isBreakSpace(text, inside, at)) ++at;  // only at the start
        while (at < text.size() && !isBreakSpace(text, inside, at)) ++at;
        size_t next = at;
        while (next < text.size() && isBreakSpace(text, inside, next)) ++next;
        if (next == text.size()) {
            split.words.push_back(text.substr(wordStart));  // trailing spaces stay with the last word
            return split;
        }
        split.words.push_back(text.substr(wordStart, at - wordStart));
        split.separators.push_back(text.substr(at, next - at));
        wordStart = at = next;
    }
}

std::vector<Segment> SplitAtNewlines(std::string_view line) {
    std::vector<Segment> segments;
    script::ScriptLineReader reader(line, script::kScriptEncoderRules);
    script::ScriptToken token;
    size_t start = 0;
    std::string_view newline;
    while (reader.next(token)) {
        // A "[NEWLINE]" that an escape shares its bracket with stays inside its segment.
        const bool breaks = token.kind == script::ScriptTokenKind::Keyword && token.code->kind == script::kCodeNewLine &&
                            (token.end() >= line.size() || line[token.end()] != '$');
        if (!breaks) continue;
        segments.push_back({line.substr(start, token.start - start), newline});
        newline = line.substr(token.start, token.size);
        start = token.end();
    }
    segments.push_back({line.substr(start), newline});
    return segments;
}

std::vector<std::string_view> WordUnits(std::string_view word) {
    std::vector<std::string_view> units;
    const CodeSpans spans = FindCodes(word);
    size_t at = 0;
    while (at < word.size()) {
        size_t end = at + 1;
        while (end < word.size() && spans.joined[end]) ++end;
        units.push_back(word.substr(at, end - at));
        at = end;
    }
    return units;
}

std::string JoinForReflow(std::string_view joined, std::string_view next) {
    std::string text;
    const LineWords first = SplitWords(joined);
    const LineWords second = SplitWords(next);
    auto trimmed = [](std::string_view word) {
        const size_t start = word.find_first_not_of(' ');
        if (start == std::string_view::npos) return std::string_view();
        return word.substr(start, word.find_last_not_of(' ') - start + 1);
    };
    for (const LineWords* words : {&first, &second}) {
        for (const std::string_view word : words->words) {
            const std::string_view bare = trimmed(word);
            if (bare.empty()) continue;
            if (!text.empty()) text += ' ';
            text += bare;
        }
    }
    return text;
}

}  // namespace corv::check
