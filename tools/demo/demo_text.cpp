#include "tools/demo/demo_text.h"

#include <array>
#include <cstdio>

#include "core/byte_order.h"
#include "script/control_codes.h"
#include "tools/demo/demo_charset.h"

namespace corv::demo {
namespace {

// Control code words: the kind in the high byte, a parameter in the low byte.
constexpr uint16_t codeWord(uint8_t kind) { return static_cast<uint16_t>(kind << 8); }
constexpr uint16_t kKey = codeWord(script::kCodeKeyWait);
constexpr uint16_t kPause = codeWord(script::kCodePause);
constexpr uint16_t kCodeF2 = codeWord(script::kCodeF2);
constexpr uint16_t kSfx = codeWord(script::kCodeSound);
constexpr uint16_t kPlayer = codeWord(script::kCodePlayer);
constexpr uint16_t kMemNumber = codeWord(script::kCodeMemoryNumber);
constexpr uint16_t kMemText = codeWord(script::kCodeMemoryText);
constexpr uint16_t kFadeIn = codeWord(script::kCodeFadeIn);
constexpr uint16_t kFadeOut = codeWord(script::kCodeFadeOut);
constexpr uint16_t kYesNo = codeWord(script::kCodeYesNo);
constexpr uint16_t kCodeFA = codeWord(script::kCodeFA);
constexpr uint16_t kFixTextBox = codeWord(script::kCodeTextBox);
constexpr uint16_t kClearWindow = codeWord(script::kCodeClearWindow);
constexpr uint16_t kNewLine = codeWord(script::kCodeNewLine);

constexpr uint32_t kLineChars = 26;      // an ordinary line stays well inside the 288-pixel box
constexpr uint32_t kLongLineMin = 40;    // a long line runs past it

using Words = std::vector<uint16_t>;

// Words of the game's language, shared by all blocks so that blocks repeat themselves like
// real script does.
std::vector<Words> makeVocabulary() {
    DemoRandom random(0xC0A1E5);
    std::vector<Words> vocabulary;
    for (int i = 0; i < 120; ++i) {
        Words word;
        const uint32_t length = random.between(2, 5);
        for (uint32_t k = 0; k < length; ++k) {
            word.push_back(static_cast<uint16_t>(kFirstKanaCode + random.between(0, kKanaCount - 1)));
            if (random.chance(12)) word.push_back(kVoicedMarkCode);
            else if (random.chance(3)) word.push_back(kSemiVoicedMarkCode);
            else if (random.chance(4)) word.push_back(static_cast<uint16_t>(kFirstSmallKanaCode + random.between(0, 3)));
        }
        if (random.chance(10)) word.push_back(kLongVowelCode);
        vocabulary.push_back(std::move(word));
    }
    for (const char* latin : {"HP", "MP", "LV", "GOLD", "CORVANE", "ITEM", "EXP", "SAVE", "OK", "KEY"}) {
        Words word;
        for (const char* c = latin; *c != 0; ++c) word.push_back(static_cast<uint16_t>(kFirstLetterCode + (*c - 'A')));
        vocabulary.push_back(std::move(word));
    }
    return vocabulary;
}

class StringWriter {
public:
    explicit StringWriter(DemoRandom& random) : random_(random), vocabulary_(makeVocabulary()) {}

    // A line of about `minChars` to `maxChars` characters.
    void line(uint32_t minChars, uint32_t maxChars) {
        uint32_t chars = 0;
        while (chars < minChars) {
            Words word = nextWord();
            if (chars > 0 && chars + 1 + word.size() > maxChars) break;
            if (chars > 0) {
                put(random_.chance(6) ? kKanaCommaCode : kSpaceCode);
                ++chars;
            }
            for (uint16_t w : word) put(w);
            chars += static_cast<uint32_t>(word.size());
        }
        static constexpr std::array kEnds = {kKanaStopCode, kExclamationCode, kQuestionCode, kWideStopCode,
                                             kFullStopCode};
        put(kEnds[random_.between(0, kEnds.size() - 1)]);
    }
    void put(uint16_t word) { words_.push_back(word); }
    void code(uint16_t kind, uint8_t parameter = 0) { put(static_cast<uint16_t>(kind | parameter)); }
    void yesNo(uint16_t first, uint16_t second) {
        code(kYesNo);
        put(first);
        put(second);
    }
    // Ends the string and hands over its words.
    Words finish() {
        put(kStringEnd);
        Words done = std::move(words_);
        words_.clear();
        return done;
    }
    [[nodiscard]] size_t size() const { return words_.size(); }
    DemoRandom& random() { return random_; }

private:
    Words nextWord() {
        const uint32_t roll = random_.between(0, 99);
        if (roll < 6) {  // a number
            Words number;
            const uint32_t digits = random_.between(1, 4);
            for (uint32_t i = 0; i < digits; ++i) number.push_back(static_cast<uint16_t>(kFirstDigitCode + random_.between(0, 9)));
            return number;
        }
        if (roll < 9) {  // characters the code table leaves without text, and the escaped ones
            static constexpr std::array kOdd = {kMiddleDotCode, kSmallACode, kWideStopCode};
            Words odd{kOdd[random_.between(0, kOdd.size() - 1)]};
            if (random_.chance(50)) odd.push_back(static_cast<uint16_t>(kFirstRangeOnlyCode + random_.between(0, kRangeOnlyCount - 1)));
            else odd.push_back(static_cast<uint16_t>(kFirstUnmappedCode + random_.between(0, kUnmappedCount - 1)));
            return odd;
        }
        return vocabulary_[random_.between(0, static_cast<uint32_t>(vocabulary_.size() - 1))];
    }

    DemoRandom& random_;
    std::vector<Words> vocabulary_;
    Words words_;
};

// An ordinary message: one or more pages of up to three lines, with the codes a script uses.
Words ordinaryString(StringWriter& s, uint32_t minimumWords) {
    DemoRandom& random = s.random();
    if (random.chance(5)) s.code(kFadeIn);
    if (random.chance(6)) s.code(kSfx);
    do {
        if (s.size() > 0 && random.chance(70)) s.code(kClearWindow);
        const uint32_t lines = random.between(1, 3);
        for (uint32_t i = 0; i < lines; ++i) {
            if (i > 0) s.code(kNewLine);
            if (random.chance(12)) s.code(kPlayer);
            if (random.chance(3)) s.code(kMemNumber);
            if (random.chance(3)) s.code(kMemText);
            s.line(6, kLineChars);
            if (random.chance(10)) s.code(kPause, static_cast<uint8_t>(random.between(1, 0x3C)));
        }
        if (random.chance(2)) s.code(kFixTextBox);
        if (random.chance(1)) s.code(kCodeF2);
        if (random.chance(1)) s.code(kCodeFA);
    } while (s.size() + 4 < minimumWords);
    if (random.chance(10)) {
        s.code(kNewLine);
        s.yesNo(static_cast<uint16_t>(random.between(0, 0xEFFF)), static_cast<uint16_t>(random.between(0, 0xEFFF)));
    }
    if (random.chance(4)) s.code(kFadeOut);
    if (random.chance(60)) s.code(kKey);
    return s.finish();
}

Words longLineString(StringWriter& s) {
    s.line(kLongLineMin, kLongLineMin + 20);
    s.code(kKey);
    return s.finish();
}

// The special strings at the start of a block that has them; record numbers are fixed so
// tests can name them.
Words specialString(StringWriter& s, uint32_t index) {
    switch (index) {
    case 0:  // every control code once, the parameters of F1 and F9 included
        s.code(kFadeIn);
        s.code(kSfx);
        s.line(6, kLineChars);
        s.code(kPause, 0x05);
        s.code(kPlayer);
        s.code(kMemNumber);
        s.code(kMemText);
        s.code(kNewLine);
        s.line(6, kLineChars);
        s.code(kCodeF2);
        s.code(kCodeFA);
        s.code(kFixTextBox);
        s.code(kKey);
        s.code(kClearWindow);
        s.line(6, kLineChars);
        s.code(kNewLine);
        s.yesNo(0x1234, 0x5678);
        s.code(kFadeOut);
        return s.finish();
    case 1:  // empty
        return s.finish();
    case 2:  // two clear-window codes
        s.line(6, kLineChars);
        s.code(kClearWindow);
        s.line(6, kLineChars);
        s.code(kClearWindow);
        s.line(6, kLineChars);
        s.code(kKey);
        return s.finish();
    case 3:  // the player's name, twice
        s.code(kPlayer);
        s.line(4, 12);
        s.code(kNewLine);
        s.code(kPlayer);
        s.code(kPlayer);
        s.line(4, 12);
        return s.finish();
    default:  // a line too long for the box
        return longLineString(s);
    }
}

constexpr uint32_t kSpecialStrings = 5;
constexpr uint32_t kSharedPairRecord = 5;   // records 5 and 6 share one string
constexpr uint32_t kSpecialNonTextRecord = 7;

std::vector<uint8_t> nonTextData(DemoRandom& random) {
    std::vector<uint8_t> data;
    const uint32_t words = random.between(2, 20);
    data.push_back(static_cast<uint8_t>(random.between(0x10, 0x3F)));  // an event opcode
    data.push_back(0x00);
    for (uint32_t i = 1; i < words; ++i) {
        const uint16_t w = random.chance(40) ? 0 : static_cast<uint16_t>(random.between(1, 0x01FF));
        data.push_back(static_cast<uint8_t>(w & 0xFF));
        data.push_back(static_cast<uint8_t>(w >> 8));
    }
    return data;
}

}  // namespace

DemoBlock BuildTextBlock(const TextBlockPlan& plan, DemoRandom& random) {
    DemoBlock block;
    block.kind = BlockKind::Text;
    block.name = plan.name;
    block.records.resize(plan.records);

    // First the shape of the table: which records are text, which share, which carry data.
    for (uint32_t k = 0; k < plan.records; ++k) {
        DemoRecord& record = block.records[k];
        const bool special = plan.withSpecialStrings && k <= kSpecialNonTextRecord;
        if (special) {
            record.type = k == kSpecialNonTextRecord ? uint16_t{1} : kTextRecordType;
            record.sharesPointer = k == kSharedPairRecord + 1;
        } else if (k > 0 && block.records[k - 1].type == kTextRecordType && !block.records[k - 1].sharesPointer &&
                   random.chance(2)) {
            record.type = kTextRecordType;
            record.sharesPointer = true;
        } else if (random.chance(12)) {
            static constexpr std::array<uint16_t, 4> kTypes = {0x0000, 0x0001, 0x0003, 0x0010};
            record.type = kTypes[random.between(0, kTypes.size() - 1)];
        } else {
            record.type = kTextRecordType;
        }
        if (record.type != kTextRecordType) record.data = nonTextData(random);
    }

    // Long blocks get longer strings; the budget is spread over the strings of their own.
    const uint32_t tableBytes = (plan.records + 1) * kRecordSize;
    uint32_t ownStrings = 0;
    uint32_t otherBytes = 0;
    for (const DemoRecord& record : block.records) {
        if (record.type == kTextRecordType && !record.sharesPointer) ++ownStrings;
        otherBytes += static_cast<uint32_t>(record.data.size());
    }
    // A string overshoots its minimum by up to a page, so the minimum follows what is left.
    constexpr uint32_t kPageOvershootWords = 30;
    uint32_t stringBytes = 0;
    uint32_t stringsLeft = ownStrings;
    const auto minimumWords = [&]() -> uint32_t {
        const uint32_t used = tableBytes + otherBytes + stringBytes;
        if (plan.targetBytes <= used || stringsLeft == 0) return 0;
        const uint32_t share = (plan.targetBytes - used) / 2 / stringsLeft;
        return share > kPageOvershootWords ? share - kPageOvershootWords : 1;
    };

    StringWriter writer(random);
    for (uint32_t k = 0; k < plan.records; ++k) {
        DemoRecord& record = block.records[k];
        if (record.type != kTextRecordType) continue;
        if (record.sharesPointer) {
            record.words = block.records[k - 1].words;
            continue;
        }
        if (plan.withSpecialStrings && k < kSpecialStrings) {
            record.words = specialString(writer, k);
        } else if (plan.targetBytes == 0 && random.chance(4)) {
            record.words = longLineString(writer);
        } else {
            record.words = ordinaryString(writer, plan.targetBytes == 0 ? 0 : minimumWords());
        }
        stringBytes += static_cast<uint32_t>(2 * record.words.size());
        --stringsLeft;
    }

    // Lay out: the records, the terminator record, then each record's bytes in record order.
    std::vector<uint8_t>& data = block.data;
    data.assign(tableBytes, 0);
    uint32_t at = tableBytes;
    for (uint32_t k = 0; k < plan.records; ++k) {
        DemoRecord& record = block.records[k];
        if (record.sharesPointer) {
            record.textPointer = block.records[k - 1].textPointer;
        } else {
            record.textPointer = static_cast<uint16_t>(at);
            if (record.type == kTextRecordType) {
                for (uint16_t w : record.words) {
                    data.push_back(static_cast<uint8_t>(w & 0xFF));
                    data.push_back(static_cast<uint8_t>(w >> 8));
                }
            } else {
                data.insert(data.end(), record.data.begin(), record.data.end());
            }
            at = static_cast<uint32_t>(data.size());
        }
        const size_t base = size_t{k} * kRecordSize;
        core::writeLe16(data, base + 0, static_cast<uint16_t>(k + 1));
        core::writeLe16(data, base + 2, record.type);
        if (record.type == kTextRecordType) {
            core::writeLe16(data, base + 4, static_cast<uint16_t>(random.between(0, 7)));   // speaker
            core::writeLe16(data, base + 6, static_cast<uint16_t>(random.between(0, 31)));  // portrait
            core::writeLe16(data, base + 8, static_cast<uint16_t>(random.between(0, 2)));   // window position
        }
        core::writeLe16(data, base + 14, record.textPointer);
        if (random.chance(20)) core::writeLe16(data, base + 16, 0x0100);  // a flag word the editor ignores
    }
    core::writeLe16(data, size_t{plan.records} * kRecordSize, 0xFFFF);
    return block;
}

std::string DecodeDemoString(const std::vector<uint16_t>& words, const std::map<uint16_t, std::string>& characters) {
    std::string text;
    char form[40];
    for (size_t i = 0; i < words.size(); ++i) {
        const uint16_t w = words[i];
        if (w == kStringEnd) break;
        const auto kind = static_cast<uint8_t>(w >> 8);
        if (script::IsControlKind(kind)) {
            const script::ControlCode& code = script::ControlCodeOf(kind);
            // Parameter words missing at the end of the words read as 0.
            std::array<uint16_t, script::kMostParameterWords> parameters{};
            for (size_t k = 0; k < code.gameParameterWords; ++k) {
                parameters[k] = i + 1 + k < words.size() ? words[i + 1 + k] : 0;
            }
            text += script::ControlCodeText(code, static_cast<uint8_t>(w & 0xFF), parameters);
            if (code.breaksLine) text += "\r\n";
            i += code.gameParameterWords;
            continue;
        }
        const auto entry = characters.find(w);
        if (entry != characters.end() && !entry->second.empty()) {
            text += entry->second;
        } else {
            std::snprintf(form, sizeof form, "[$%04X]", static_cast<unsigned>(w));
            text += form;
        }
    }
    return text;
}

}  // namespace corv::demo
