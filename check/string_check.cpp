#include "check/string_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "core/byte_order.h"
#include "preview/glyph.h"
#include "check/box_wrap.h"
#include "check/code_characters.h"
#include "check/code_parameters.h"
#include "check/entry_structure.h"
#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/entry_words.h"
#include "script/script_encoder.h"
#include "script/script_file.h"
#include "script/script_line_reader.h"
#include "script/text_lines.h"

namespace corv::check {
namespace {

constexpr uint16_t kGameStringEnd = 0xFFFF;

using CodeCounts = std::array<int, script::kControlCodes.size()>;  // by kind - F0

struct GameString {
    bool hasText = false;
    CodeCounts codes{};
    std::set<uint16_t> characters;
    std::set<uint16_t> parameters;  // the yes/no choice's two words, which a dump prints as escapes too
};

GameString readGameString(std::span<const uint8_t> string) {
    GameString game;
    for (size_t at = 0; at + 1 < string.size(); at += 2) {
        const uint16_t word = core::readLe16(string, at);
        if (word == kGameStringEnd) break;
        const auto kind = static_cast<uint8_t>(word >> 8);
        if (!script::IsControlKind(kind)) {
            game.hasText = true;
            game.characters.insert(word);
            continue;
        }
        ++game.codes[kind - script::kFirstControlKind];
        const size_t parameterWords = script::ControlCodeOf(kind).gameParameterWords;
        // The parameter words of a code (the yes/no choice's two) are printed as escapes by a dump too.
        for (size_t k = at + 2; k <= at + 2 * parameterWords && k + 1 < string.size(); k += 2) {
            game.parameters.insert(core::readLe16(string, k));
        }
        at += 2 * parameterWords;
    }
    return game;
}

class Lines {
public:
    Lines(unsigned number, std::vector<Finding>& findings) : number_(number), findings_(findings) {}
    void add(FindingKind kind, int line, int amount = 0, std::string subject = {}, uint8_t code = 0) {
        findings_.push_back({kind, number_, line, amount, code, std::move(subject)});
    }

private:
    unsigned number_;
    std::vector<Finding>& findings_;
};

std::vector<uint8_t> encodeAlone(std::string_view text, int number, script::LogSink* log,
                                 const script::CharacterMap& characters) {
    std::vector<uint8_t> bytes(text.size() + 2);
    const std::array<std::string, 1> lines = {std::string(text)};
    bytes.resize(script::EncodeLines(lines, number, bytes, log, characters));
    bytes.pop_back();  // the end byte
    return bytes;
}

// Pieces of the translator's own text: bracket words, characters without a glyph, and raw bytes
// that are a game character in the wrong byte order.
void checkPieces(std::string_view line, int lineNumber, const GameString* game, unsigned number,
                 const script::CharacterMap& characters, Lines& out) {
    std::set<uint8_t> missing;
    std::set<uint8_t> codeCharacters;
    std::set<uint8_t> sharedBytes;
    script::ScriptLineReader reader(line, script::kCheckRules);
    script::ScriptToken token;
    while (reader.next(token)) {
        const std::string_view text = line.substr(token.start, token.size);
        if (token.kind == script::ScriptTokenKind::BracketWord) {
            out.add(FindingKind::UnknownBracketWord, lineNumber, 0, std::string(text));
        } else if (token.kind == script::ScriptTokenKind::Text) {
            for (size_t i = 0; i < text.size(); ++i) {
                const auto byte = static_cast<uint8_t>(text[i]);
                // A letter of the character map is written as its byte and drawn as itself.
                const bool mapped = characters.mapsCharacter(text[i]);
                if (!mapped && RoleOfCharacter(byte) != CodeCharacterRole::None) {
                    if (codeCharacters.insert(byte).second) {
                        out.add(FindingKind::CodeCharacter, lineNumber, 0, std::string(text.substr(i, 1)), byte);
                    }
                    continue;
                }
                if (!mapped && characters.givesByte(byte) && sharedBytes.insert(byte).second) {
                    // Written as its own byte, which the game shows as another letter.
                    out.add(FindingKind::SharedByte, lineNumber, static_cast<uint8_t>(characters.characterOf(byte)),
                            std::string(text.substr(i, 1)), byte);
                }
                if (!preview::HasTranslationGlyph(byte)) missing.insert(byte);
            }
        } else if (token.kind == script::ScriptTokenKind::Escape && game != nullptr && token.closed) {
            const std::vector<uint8_t> bytes = encodeAlone(text, int(number), nullptr, characters);
            for (size_t k = 0; k + 1 < bytes.size(); k += 2) {
                const auto asWord = static_cast<uint16_t>(bytes[k] << 8 | bytes[k + 1]);
                if (bytes[k] != bytes[k + 1] && (game->characters.count(asWord) != 0 || game->parameters.count(asWord) != 0)) {
                    out.add(FindingKind::SwappedEscape, lineNumber, asWord, std::string(text));
                }
            }
        }
    }
    if (!missing.empty()) {
        out.add(FindingKind::MissingGlyph, lineNumber, int(missing.size()), std::string(missing.begin(), missing.end()),
                LooksLikeUtf8(line) ? 1 : 0);
    }
}

class CountingLog final : public script::LogSink {
public:
    void addLogLine(const std::string&) override { ++count; }
    int count = 0;
};

}  // namespace

Severity SeverityOf(FindingKind kind) {
    switch (kind) {
    case FindingKind::EntryMissing:
    case FindingKind::WrongEntry:
    case FindingKind::EntryNotClosed:
    case FindingKind::UnclosedEscape:
    case FindingKind::CodeCharacter:
    case FindingKind::EntryRunsOn:
    case FindingKind::EntryTooLong:
    case FindingKind::CodeWithoutParameters:
    case FindingKind::EscapedEndMark:
    case FindingKind::DuplicateEntry:
    case FindingKind::StrayClosingLine:
    case FindingKind::TextOutsideEntry:
    case FindingKind::EntryPastBlock: return Severity::Error;
    default: return Severity::Warning;
    }
}

bool CodeMustBeKept(uint8_t kind) { return script::IsControlKind(kind) && script::ControlCodeOf(kind).mustKeep; }

std::vector<Finding> CheckString(const StringSource& source, script::ScriptText& script, const script::TableFile& table,
                                 const BoxMetrics& box) {
    std::vector<Finding> findings;
    Lines out(source.number, findings);
    // The lookup's search, on one copy of the text that the search for a second entry shares.
    const std::string text = script.text();
    const auto match = script::FindFromSelection(text, script.selectionStart(), script.selectionLength(),
                                                 script::EntrySearchText(int(source.number)));
    if (!match) {
        out.add(FindingKind::EntryMissing, 0);
        return findings;
    }
    script.setCaret(*match);
    const std::optional<int> opening = script.lineOfPosition(*match);
    const bool ownOpening = script::OpensEntry(script.line(*opening), source.number);
    if (!ownOpening) out.add(FindingKind::WrongEntry, 0, 0, script.line(*opening));
    script::EntryCopy copy = script::CopyEntry(script, *opening);
    if (!copy.closed) out.add(FindingKind::EntryNotClosed, 0);
    for (Finding& finding : CheckEntryStructure(copy, source.number, source.gameString)) findings.push_back(std::move(finding));
    // After another string's line the search found, the string's own entry is no second one.
    if (const auto second = ownOpening ? FindSecondOpening(text, script, source.number, *opening) : std::nullopt) {
        out.add(FindingKind::DuplicateEntry, 0, *second + 1);
    }
    if (copy.closed) {
        if (const auto stray = FindStrayClosingLine(script, *opening + int(copy.lines.size()) - 1)) {
            out.add(FindingKind::StrayClosingLine, 0, *stray + 1);
        }
    }
    std::vector<std::string> lines(copy.lines.begin() + 1, copy.lines.end() - (copy.closed ? 1 : 0));
    size_t textSize = 0;
    for (const std::string& line : lines) textSize += line.size() + 1;
    if (textSize > script::kLongestEntryText) {
        // Checking text no block can hold line by line only costs time and memory.
        out.add(FindingKind::EntryTooLong, 0, int(std::min<size_t>(textSize, INT32_MAX)));
        return findings;
    }

    const bool gameKnown = !source.gameString.empty();
    const GameString game = gameKnown ? readGameString(source.gameString) : GameString{};
    if (gameKnown && game.hasText && !script::EntryHoldsText(lines)) out.add(FindingKind::EmptyTranslation, 0);

    // The lines as the encoder sees them, after the dictionary step. A step whose replacements
    // run away makes the string too long, which the block fit reports; the lines are then
    // checked as written.
    const std::vector<std::string> encoderLines = script::ApplyDictionaryToLines(lines, table).value_or(lines);

    for (Finding& finding : CheckCodeParameters(encoderLines, source.number)) findings.push_back(std::move(finding));

    CodeCounts codes{};
    unsigned rowsOnPage = 0;
    std::optional<BoxWrapper> wrapper;  // made for the first line too wide
    for (size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        CountingLog log;
        std::vector<uint8_t> bytes = encodeAlone(encoderLines[i], int(source.number), &log, table.characterMap());
        if (log.count > 0) out.add(FindingKind::UnclosedEscape, lineNumber);
        checkPieces(lines[i], lineNumber, gameKnown ? &game : nullptr, source.number, table.characterMap(), out);

        for (const int width : MeasureLineRows(lines[i], box, table.characterMap())) {
            if (width <= box.width) continue;
            out.add(FindingKind::LineTooWide, lineNumber, width - box.width);
            // What wrapping the line would do, on the page it stands on.
            if (!wrapper) wrapper.emplace(box, WrapOptions{}, table.characterMap());
            Finding& wide = findings.back();
            wide.wrappedRows = int(wrapper->rowsWrapped(lines[i]));
            wide.wrappedOver = std::max(0, int(rowsOnPage) + wide.wrappedRows - int(box.visibleRows));
        }

        bytes.push_back(script::kStringEndByte);
        const TranslatedString translated = ReadTranslatedString(bytes);
        unsigned rows = 1;
        bool pageEnds = false;
        for (const TranslatedToken& token : translated.tokens) {
            if (token.kind != TokenKind::Code) continue;
            ++codes[token.value - script::kFirstControlKind];
            if (token.value == script::kLineBreakByte) ++rows;
            if (token.value == script::kCodeKeyWait || token.value == script::kCodeClearWindow) pageEnds = true;
        }
        rowsOnPage += rows;
        if (rowsOnPage > box.visibleRows) out.add(FindingKind::LineBeyondBox, lineNumber, int(rowsOnPage));
        if (pageEnds) rowsOnPage = 0;
    }

    if (gameKnown) {
        for (unsigned k = 0; k < codes.size(); ++k) {
            const auto kind = static_cast<uint8_t>(script::kFirstControlKind + k);
            if (!CodeMustBeKept(kind) || codes[k] == game.codes[k]) continue;
            const bool dropped = codes[k] < game.codes[k];
            out.add(dropped ? FindingKind::DroppedCode : FindingKind::AddedCode, 0, std::abs(codes[k] - game.codes[k]),
                    {}, kind);
        }
    }

    if (source.romBytes && source.encoded != nullptr) {
        const std::vector<uint8_t>& own = source.encoded->bytes;
        const auto rom = *source.romBytes;
        if (rom.size() < own.size() || !std::equal(own.begin(), own.end(), rom.begin())) {
            out.add(FindingKind::RomDiffers, 0);
        }
    }
    return findings;
}

}  // namespace corv::check
