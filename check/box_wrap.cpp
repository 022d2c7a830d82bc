#include "check/box_wrap.h"

#include <algorithm>
#include <array>

#include "check/translated_string.h"
#include "check/wrap_words.h"
#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/script_line_reader.h"

namespace corv::check {
namespace {

constexpr size_t kLongestPageBreak = 64;

int widest(const std::vector<int>& rows) { return *std::max_element(rows.begin(), rows.end()); }

bool isSpaces(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Text whose preview stream is no sum of its pieces: escapes and the yes/no choice put bytes
// there that the preview reads as parameters, a byte from F0 up or a pause of F0 and up reads
// as a code together with the character before it, and a second window clear breaks the row.
// Such text is measured whole.
bool measuredWhole(std::string_view text) {
    script::ScriptLineReader reader(text, script::kPreviewRules);
    script::ScriptToken token;
    int clears = 0;
    while (reader.next(token)) {
        switch (token.kind) {
        case script::ScriptTokenKind::Escape:
        case script::ScriptTokenKind::BracketWord: return true;
        case script::ScriptTokenKind::Keyword:
            if (token.code->kind == script::kCodeYesNo) return true;
            if (token.hasParameter && token.parameter >= script::kFirstControlKind) return true;
            if (token.code->kind == script::kCodeClearWindow && ++clears > 1) return true;
            break;
        case script::ScriptTokenKind::Text:
            for (size_t i = token.start; i < token.end(); ++i) {
                if (static_cast<uint8_t>(text[i]) >= script::kFirstControlKind) return true;
            }
            break;
        }
    }
    return false;
}

// The line's last code, spaces after it aside, is a key wait or a window clear.
bool endsWithPageEnd(std::string_view line) {
    script::ScriptLineReader reader(line, script::kScriptEncoderRules);
    script::ScriptToken token;
    bool pageEnd = false;
    while (reader.next(token)) {
        if (token.kind == script::ScriptTokenKind::Text && isSpaces(line.substr(token.start, token.size))) continue;
        pageEnd = token.kind == script::ScriptTokenKind::Keyword &&
                  (token.code->kind == script::kCodeKeyWait || token.code->kind == script::kCodeClearWindow);
    }
    return pageEnd;
}

}  // namespace

bool IsUsablePageBreak(std::string_view sequence) {
    if (sequence.empty() || sequence.size() > kLongestPageBreak) return false;
    script::ScriptLineReader reader(sequence, script::kScriptEncoderRules);
    script::ScriptToken token;
    bool endsPage = false;
    int clears = 0;
    while (reader.next(token)) {
        if (token.kind != script::ScriptTokenKind::Keyword) return false;
        switch (token.code->kind) {
        case script::kCodeKeyWait: endsPage = true; break;
        case script::kCodeClearWindow:
            endsPage = true;
            ++clears;
            break;
        case script::kCodeSound: break;
        case script::kCodePause: {
            // Only "[PAUSE$hh]" whole: the encoder reads the escape the "$" opens as its byte.
            script::ScriptToken escape;
            if (!reader.next(escape) || escape.kind != script::ScriptTokenKind::Escape || !escape.closed ||
                escape.end() - escape.start != 5) {
                return false;
            }
            break;
        }
        default: return false;
        }
        if (token.code->kind != script::kCodePause && token.end() < sequence.size() && sequence[token.end()] == '$') return false;
    }
    return endsPage && clears <= 1;
}

LineRows RowsOfLine(std::string_view line, const script::CharacterMap& characters) {
    const bool plain = std::none_of(line.begin(), line.end(), [&](char c) {
        return c == '[' || characters.byteOf(c) >= script::kFirstControlKind;
    });
    if (plain) return {};
    std::vector<uint8_t> bytes(line.size() + 2);
    const std::array<std::string, 1> lines = {std::string(line)};
    bytes.resize(std::min(bytes.size(), script::EncodeLines(lines, 0, bytes, nullptr, characters)));
    LineRows rows;
    for (const TranslatedToken& token : ReadTranslatedString(bytes).tokens) {
        if (token.kind != TokenKind::Code) continue;
        if (token.value == script::kLineBreakByte) ++rows.rows;
        if (token.value == script::kCodeKeyWait || token.value == script::kCodeClearWindow) rows.endsPage = true;
    }
    return rows;
}

BoxWrapper::BoxWrapper(const BoxMetrics& box, WrapOptions options, const script::CharacterMap& characters)
    : box_(box), options_(std::move(options)), characters_(characters) {
    advance_.fill(-1);
    labelWidth_ = widest(MeasureLineRows("[PLAYER]", box_, characters_));
}

int BoxWrapper::codeWidth(uint8_t kind) const {
    switch (kind) {
    case script::kCodePlayer: return options_.codeWidths.player.value_or(labelWidth_);
    case script::kCodeMemoryNumber: return options_.codeWidths.number.value_or(0);
    case script::kCodeMemoryText: return options_.codeWidths.memoryText.value_or(0);
    default: return 0;
    }
}

int BoxWrapper::advanceOf(unsigned char character) {
    if (advance_[character] < 0) {
        advance_[character] = widest(MeasureLineRows(std::string(1, char(character)), box_, characters_));
    }
    return advance_[character];
}

int BoxWrapper::additiveWidth(std::string_view text) {
    int width = 0;
    script::ScriptLineReader reader(text, script::kPreviewRules);
    script::ScriptToken token;
    while (reader.next(token)) {
        if (token.kind == script::ScriptTokenKind::Keyword) {
            width += codeWidth(token.code->kind);
            continue;
        }
        for (size_t i = token.start; i < token.end(); ++i) width += advanceOf(static_cast<unsigned char>(text[i]));
    }
    return width;
}

int BoxWrapper::exactWidth(std::string_view text) {
    // The checks draw the player's name as its label and the memory codes as nothing.
    int width = widest(MeasureLineRows(text, box_, characters_));
    script::ScriptLineReader reader(text, script::kPreviewRules);
    script::ScriptToken token;
    while (reader.next(token)) {
        if (token.kind != script::ScriptTokenKind::Keyword) continue;
        const uint8_t kind = token.code->kind;
        width += codeWidth(kind) - (kind == script::kCodePlayer ? labelWidth_ : 0);
    }
    return width;
}

int BoxWrapper::width(std::string_view text) { return measuredWhole(text) ? exactWidth(text) : additiveWidth(text); }

std::vector<std::string> BoxWrapper::wrapSegment(std::string_view segment, unsigned& cutWords) {
    const LineWords split = SplitWords(segment);
    // A row's width is the sum of its pieces' unless the segment holds text measured whole.
    const bool whole = measuredWhole(segment);
    std::vector<std::string> rows;
    std::string row;
    int rowWidth = 0;
    auto place = [&](std::string_view word, int wordWidth) {
        if (wordWidth <= box_.width) {
            row.assign(word);
            rowWidth = wordWidth;
            return;
        }
        ++cutWords;
        row.clear();
        rowWidth = 0;
        for (const std::string_view unit : WordUnits(word)) {
            const std::string longer = row + std::string(unit);
            const int longerWidth = whole ? width(longer) : rowWidth + width(unit);
            if (!row.empty() && longerWidth > box_.width) {
                rows.push_back(row);
                row.assign(unit);
                rowWidth = width(unit);
            } else {
                row = longer;
                rowWidth = longerWidth;
            }
        }
    };
    place(split.words[0], width(split.words[0]));
    for (size_t i = 1; i < split.words.size(); ++i) {
        const std::string_view separator = split.separators[i - 1];
        const std::string_view word = split.words[i];
        const int wordWidth = width(word);
        const std::string longer = row + std::string(separator) + std::string(word);
        const int longerWidth = whole ? width(longer) : rowWidth + width(separator) + wordWidth;
        if (longerWidth <= box_.width) {
            row = longer;
            rowWidth = longerWidth;
        } else {
            rows.push_back(row);
            place(word, wordWidth);
        }
    }
    rows.push_back(row);
    return rows;
}

std::vector<std::string> BoxWrapper::paragraphs(std::span<const std::string> lines) const {
    if (!options_.reflow) return {lines.begin(), lines.end()};
    std::vector<std::string> joined;
    bool open = false;
    for (const std::string& line : lines) {
        if (isSpaces(line)) {
            joined.push_back(line);
            open = false;
            continue;
        }
        if (open) joined.back() = JoinForReflow(joined.back(), line);
        else joined.push_back(JoinForReflow({}, line));
        // A line that ends its page ends its paragraph. (A code inside a line does not: the
        // wrap moves it to another row, and wrapping again must find the same paragraphs.)
        open = !endsWithPageEnd(line);
    }
    return joined;
}

unsigned BoxWrapper::rowsWrapped(std::string_view line) {
    unsigned cutWords = 0;
    size_t rows = 0;
    for (const Segment& segment : SplitAtNewlines(line)) rows += wrapSegment(segment.text, cutWords).size();
    return unsigned(rows);
}

WrappedEntry BoxWrapper::wrap(std::span<const std::string> lines) {
    WrappedEntry wrapped;
    std::vector<std::string>& out = wrapped.lines;
    unsigned rowsOnPage = 0;
    bool lineEndsPage = false;  // the script line being built holds a key wait or a window clear
    bool first = true;
    for (const std::string& paragraph : paragraphs(lines)) {
        bool paragraphStart = true;
        for (const Segment& segment : SplitAtNewlines(paragraph)) {
            bool segmentStart = true;
            for (const std::string& row : wrapSegment(segment.text, wrapped.cutWords)) {
                // A new script line, unless the row follows a "[NEWLINE]" of the same line.
                bool newLine = paragraphStart || !segmentStart || segment.newline.empty();
                paragraphStart = segmentStart = false;
                if (!first && newLine) {
                    if (lineEndsPage) rowsOnPage = 0;
                    lineEndsPage = false;
                }
                const LineRows rows = RowsOfLine(row, characters_);
                if (!first && rowsOnPage > 0 && rowsOnPage + rows.rows > box_.visibleRows) {
                    // The page is full: end it on the row before. A "[NEWLINE]" there becomes
                    // the line break between two script lines, which is the same byte; the page
                    // break marks the line's end for a reflow even where a code inside the line
                    // ends the page already.
                    out.back() += options_.pageBreak;
                    newLine = true;
                    rowsOnPage = 0;
                    lineEndsPage = false;
                }
                if (first || newLine) out.push_back(row);
                else out.back() += std::string(segment.newline) + row;
                first = false;
                rowsOnPage += rows.rows;
                lineEndsPage = lineEndsPage || rows.endsPage;
            }
        }
    }
    wrapped.changed = !std::equal(out.begin(), out.end(), lines.begin(), lines.end());
    return wrapped;
}

}  // namespace corv::check
