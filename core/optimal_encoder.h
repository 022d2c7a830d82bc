#pragma once
// The maximising compressor: the smallest stream the game's decoder reads back, for blocks that do
// not fit with the standard one. It uses the freedoms the decoder allows beyond what the
// standard compressor emits: long references up to 4,096 words back, short references up to 16
// words back, copies that overlap their own output. Dictionary commands are never emitted (they
// cost what a literal costs).

#include "core/block_stream.h"

namespace corv::core {

inline constexpr uint32_t kLongReachWords = 4096;
inline constexpr uint32_t kShortReachWords = 16;

// The cheapest stream of literals, short and long references for the words: a shortest path over
// (word position, command slot within the group of eight), in exact bytes (a control word 2, a
// literal or long reference 2, a short reference 1). No source lies before word 0, no reference
// reaches past the data; the last group is filled with one-word short references, so at most 7
// words are written past the data, and the decoder's output never passes 64 KiB (at most 32,767
// words of data). Among equally small streams the one with the fewest words past the data wins.
// Deterministic.
[[nodiscard]] EncodedStream EncodeOptimalStream(const SourceWords& words);

// The maximising compressor's stream: the optimal one, unless the standard compressor's is as
// small (then that one, so that a block that gains nothing stays byte for byte as the default
// writes it). Never longer than the standard compressor's stream.
[[nodiscard]] EncodedStream EncodeMaximisedStream(const SourceWords& words);

}  // namespace corv::core
