#include "dictionary_step.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace corv::script {
namespace {

// Failure function of the word for a left-to-right matcher (Knuth-Morris-Pratt).
std::vector<size_t> prefixLengths(std::string_view word) {
    std::vector<size_t> lengths(word.size(), 0);
    for (size_t i = 1, k = 0; i < word.size(); ++i) {
        while (k > 0 && word[i] != word[k]) k = lengths[k - 1];
        if (word[i] == word[k]) ++k;
        lengths[i] = k;
    }
    return lengths;
}

// Replaces every occurrence of one word. The text is read character by character onto `done`,
// with the matcher's state kept per character so that a replacement can be taken back off the
// end. Pushing the escape back onto the unread text makes the matcher see it again together
// with up to |word| - 1 characters before it, which is exactly where a search from the
// beginning could find the next occurrence: the text before those was already free of the word.
// No replacement copies the text; each character is read a bounded number of times per escape.
bool replaceWord(std::string& text, std::string_view word, std::string_view escape, size_t limit) {
    const std::vector<size_t> failure = prefixLengths(word);
    const bool goOnAfterEscape = escape.find(word) != std::string_view::npos;

    std::string unread(text.rbegin(), text.rend());  // a stack: the next character is at the back
    std::string done;
    std::vector<size_t> states;  // matched length after each character of `done`
    done.reserve(text.size());
    states.reserve(text.size());

    auto take = [&](char c, size_t state) {
        while (state > 0 && c != word[state]) state = failure[state - 1];
        if (c == word[state]) ++state;
        done.push_back(c);
        states.push_back(state);
        return state;
    };

    size_t state = 0;
    size_t replacements = 0;
    while (!unread.empty()) {
        const char c = unread.back();
        unread.pop_back();
        state = take(c, state);
        if (state != word.size()) continue;

        done.resize(done.size() - word.size());
        states.resize(states.size() - word.size());
        if (goOnAfterEscape) {
            // Taken as it stands: nothing inside or before the escape is searched again.
            done += escape;
            states.insert(states.end(), escape.size(), 0);
            state = 0;
        } else {
            unread.append(escape.rbegin(), escape.rend());
            state = states.empty() ? 0 : states.back();
        }
        // A word longer than its escape shrinks the text, so count the replacements too.
        if (done.size() + unread.size() > limit || ++replacements > limit) return false;
    }
    text = std::move(done);
    return true;
}

}  // namespace

std::optional<std::string> ApplyDictionary(const std::string& text, const TableFile& table) {
    const size_t limit = text.size() + kDictionaryGrowthLimit;
    std::string result = text;
    for (unsigned slot = 0; slot < 256; ++slot) {
        const std::optional<std::string>& word = table.dictionaryWord(slot);
        if (!word || word->empty()) continue;
        char escape[8];
        std::snprintf(escape, sizeof escape, "[$%04X]", 0x100 + slot);
        if (!replaceWord(result, *word, escape, limit)) return std::nullopt;
    }
    return result;
}

}  // namespace corv::script
