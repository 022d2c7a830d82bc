#include "support/exhaustive_match_finder.h"

namespace corv::testing {

core::WordMatch ExhaustiveMatchFinder::longestMatch(uint32_t p, uint32_t maxLength) {
    const uint32_t count = words_.count();
    const uint32_t windowStart = p > core::kMatchWindowWords - 1 ? p - core::kMatchWindowWords : 0;
    core::WordMatch best;
    for (uint32_t j = windowStart; j < p; ++j) {
        if (words_[j] != words_[p]) continue;
        uint32_t length = 0;
        while (length < maxLength && j + length < p && j + length < count &&
               words_[j + length] == words_[p + length]) {
            ++length;
        }
        if (length > best.length) {
            best = {length, p - j};
            if (length == maxLength) break;
        }
    }
    return best;
}

core::EncodedStream EncodeExhaustively(const core::SourceWords& words) {
    ExhaustiveMatchFinder finder(words);
    return core::EncodeBlockStream(words, finder);
}

}  // namespace corv::testing
