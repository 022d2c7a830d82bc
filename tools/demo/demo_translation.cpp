#include "tools/demo/demo_translation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/demo/demo_random.h"

namespace corv::demo {
namespace {

// Common words, most frequent first; picked with falling weights as in running text.
constexpr std::array<std::string_view, 96> kWords = {
    "the",    "you",     "to",     "a",       "of",     "and",    "is",     "it",     "i",      "that",
    "in",     "we",      "this",   "have",    "for",    "be",     "not",    "my",     "what",   "your",
    "me",     "are",     "with",   "on",      "will",   "can",    "all",    "do",     "there",  "but",
    "was",    "here",    "they",   "so",      "no",     "if",     "must",   "from",   "now",    "king",
    "know",   "go",      "at",     "one",     "come",   "just",   "like",   "out",    "he",     "she",
    "castle", "find",    "sword",  "time",    "back",   "help",   "way",    "only",   "see",    "who",
    "north",  "village", "please", "still",   "long",   "again",  "tower",  "enemy",  "power",  "stone",
    "night",  "thank",   "tell",   "where",   "think",  "never",  "before", "should", "people", "about",
    "world",  "dragon",  "forest", "journey", "friend", "heart",  "light",  "dark",   "gate",   "ship",
    "master", "magic",   "shrine", "legend",  "spirit", "prince",
};

std::string_view pickWord(DemoRandom& random) {
    // Rank r is picked with weight about 1 / (r + 3).
    const uint32_t roll = random.between(0, 9999);
    const double spread = std::pow(double(kWords.size() + 3) / 3.0, roll / 10000.0) * 3.0 - 3.0;
    return kWords[std::min<size_t>(size_t(spread), kWords.size() - 1)];
}

// About `letters` letters of sentences.
std::string englishText(size_t letters, DemoRandom& random, bool& sentenceStart) {
    std::string text;
    while (text.size() < letters) {
        if (!text.empty()) text += ' ';
        std::string word(pickWord(random));
        if (sentenceStart || word == "i") word[0] = static_cast<char>(word[0] - 'a' + 'A');
        sentenceStart = false;
        text += word;
        if (random.chance(12)) {
            text += random.chance(70) ? "." : random.chance(50) ? "!" : "?";
            sentenceStart = true;
        } else if (random.chance(6)) {
            text += ',';
        }
    }
    return text;
}

bool holdsKana(std::string_view line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

std::string translateLine(std::string_view line, double lengthFactor, DemoRandom& random, bool& sentenceStart) {
    std::string out;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == '[') {
            const size_t close = line.find(']', at);
            const size_t end = close == std::string_view::npos ? line.size() : close + 1;
            out += line.substr(at, end - at);
            at = end;
            continue;
        }
        const size_t next = std::min(line.find('[', at), line.size());
        // Shift-JIS kana take two bytes each.
        const size_t characters = (next - at + 1) / 2;
        out += englishText(size_t(std::lround(double(characters) * lengthFactor)), random, sentenceStart);
        at = next;
    }
    return out;
}

}  // namespace

std::string TranslateDemoScript(std::string_view kanaScript, double lengthFactor, uint64_t seed) {
    DemoRandom random(seed);
    std::string out;
    bool sentenceStart = true;
    size_t start = 0;
    while (start < kanaScript.size()) {
        const size_t newline = kanaScript.find('\n', start);
        const size_t end = newline == std::string_view::npos ? kanaScript.size() : newline;
        const std::string_view line = kanaScript.substr(start, end - start);
        if (line.starts_with(".")) sentenceStart = true;
        out += holdsKana(line) ? translateLine(line, lengthFactor, random, sentenceStart) : std::string(line);
        if (newline != std::string_view::npos) out += '\n';
        start = end + 1;
    }
    return out;
}

}  // namespace corv::demo
