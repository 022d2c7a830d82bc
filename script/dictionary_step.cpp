#include "script/dictionary_step.h"

#include <algorithm>
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

// The matcher's state after `text`: the longest prefix of the word that ends the text. It is
// shorter than the word when the text holds no occurrence, so the last |word| - 1 characters
// decide it.
size_t stateAfter(std::string_view text, std::string_view word, const std::vector<size_t>& failure) {
    size_t state = 0;
    for (const char c : text.substr(text.size() - std::min(text.size(), word.size() - 1))) {
        while (state > 0 && c != word[state]) state = failure[state - 1];
        if (c == word[state]) ++state;
    }
    return state;
}

// Replaces every occurrence of one word. The text is read onto `done`: in one piece up to the
// next occurrence while no part of the word ends `done`, else character by character. A
// replacement takes the word back off the end and, unless the word goes on after its escape,
// pushes the escape onto `pending`, so that the matcher sees it again together with up to
// |word| - 1 characters before it, which is exactly where a search from the beginning could
// find the next occurrence: the text before those was already free of the word. No replacement
// copies the text; each character is read a bounded number of times per escape.
bool replaceWord(std::string& text, std::string_view word, std::string_view escape, size_t limit) {
    // Most words of a table occur in no given string: leave those texts without a copy.
    const size_t first = text.find(word);
    if (first == std::string::npos) return true;
    const std::vector<size_t> failure = prefixLengths(word);
    const bool goOnAfterEscape = escape.find(word) != std::string_view::npos;

    std::string_view rest = text;
    std::string pending;  // a stack: its next character is at the back
    std::string done;
    done.reserve(text.size());
    // The text before the first occurrence is free of the word: it is not searched again.
    done += rest.substr(0, first);
    rest.remove_prefix(first);
    size_t state = 0;
    size_t replacements = 0;
    while (!pending.empty() || !rest.empty()) {
        if (pending.empty() && state == 0) {
            // Nothing of the word ends `done`, so the next occurrence lies wholly in `rest`.
            const size_t at = rest.find(word);
            if (at == std::string_view::npos) {
                done += rest;
                break;
            }
            done += rest.substr(0, at + word.size());
            rest.remove_prefix(at + word.size());
            state = word.size();
        } else {
            char c;
            if (!pending.empty()) {
                c = pending.back();
                pending.pop_back();
            } else {
                c = rest.front();
                rest.remove_prefix(1);
            }
            while (state > 0 && c != word[state]) state = failure[state - 1];
            if (c == word[state]) ++state;
            done.push_back(c);
            if (state != word.size()) continue;
        }

        done.resize(done.size() - word.size());
        if (goOnAfterEscape) {
            // Taken as it stands: nothing inside or before the escape is searched again.
            done += escape;
            state = 0;
        } else {
            pending.append(escape.rbegin(), escape.rend());
            state = stateAfter(done, word, failure);
        }
        // A word longer than its escape shrinks the text, so count the replacements too.
        if (done.size() + pending.size() + rest.size() > limit || ++replacements > limit) return false;
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
