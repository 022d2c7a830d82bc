#pragma once
// The reference match search: every position of the 2048-word window, oldest first, no index.
// It is the definition the production finder must reproduce choice for choice.

#include "core/block_encoder.h"

namespace corv::testing {

class ExhaustiveMatchFinder final : public core::MatchFinder {
public:
    explicit ExhaustiveMatchFinder(const core::SourceWords& words) : words_(words) {}
    [[nodiscard]] core::WordMatch longestMatch(uint32_t p, uint32_t maxLength) override;

private:
    const core::SourceWords& words_;
};

// The whole stream as the exhaustive scan encodes it.
[[nodiscard]] core::EncodedStream EncodeExhaustively(const core::SourceWords& words);

}  // namespace corv::testing
