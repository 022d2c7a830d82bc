#pragma once
// Reads a compressed stream command by command, as the decoder does, to check what a compressor
// wrote: where each reference reads from, how far the output goes, and that it decodes back.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/block_encoder.h"

namespace corv::testing {

struct StreamCommand {
    core::BlockCommand kind = core::BlockCommand::Literal;
    uint32_t position = 0;  // word position of its first output word
    uint32_t distance = 0;  // references only
    uint32_t length = 1;    // words written
};

struct StreamWalk {
    std::vector<StreamCommand> commands;
    uint64_t wordsWritten = 0;
    bool exact = true;  // every operand inside the stream and no byte left over
};

[[nodiscard]] StreamWalk WalkStream(const core::EncodedStream& stream);

// Why the stream is not a sound encoding of the words, or nothing: it must decode back to them
// in an output area not cleared first, read no source before word 0, keep the output within
// 64 KiB and write at most `maxWordsPast` words past the data.
[[nodiscard]] std::optional<std::string> StreamFault(const core::SourceWords& words, const core::EncodedStream& stream,
                                                     uint32_t maxWordsPast);

}  // namespace corv::testing
