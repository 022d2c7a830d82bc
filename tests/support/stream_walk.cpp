#include "support/stream_walk.h"

#include <algorithm>
#include <vector>

#include "core/block_decoder.h"
#include "core/byte_order.h"

namespace corv::testing {

StreamWalk WalkStream(const core::EncodedStream& stream) {
    StreamWalk walk;
    const auto& bytes = stream.bytes;
    size_t at = 0;
    const auto has = [&](size_t n) { return at + n <= bytes.size(); };
    for (uint32_t g = 0; g < stream.groups; ++g) {
        if (!has(2)) {
            walk.exact = false;
            return walk;
        }
        uint16_t control = core::readLe16(bytes, at);
        at += 2;
        for (int c = 0; c < 8; ++c, control = static_cast<uint16_t>(control << 2)) {
            StreamCommand command;
            command.kind = static_cast<core::BlockCommand>(control >> 14);
            command.position = static_cast<uint32_t>(walk.wordsWritten);
            const bool wide = command.kind != core::BlockCommand::ShortReference;
            if (!has(wide ? 2 : 1)) {
                walk.exact = false;
                return walk;
            }
            const uint32_t operand = wide ? core::readLe16(bytes, at) : bytes[at];
            at += wide ? 2 : 1;
            if (command.kind == core::BlockCommand::ShortReference || command.kind == core::BlockCommand::LongReference) {
                command.distance = (operand >> 4) + 1;
                command.length = (operand & 0xF) + 1;
            }
            walk.wordsWritten += command.length;
            walk.commands.push_back(command);
        }
    }
    walk.exact = at == bytes.size();
    return walk;
}

std::optional<std::string> StreamFault(const core::SourceWords& words, const core::EncodedStream& stream,
                                       uint32_t maxWordsPast) {
    const StreamWalk walk = WalkStream(stream);
    if (!walk.exact) return "the stream's operands do not end where its bytes end";
    if (walk.wordsWritten < words.count()) return "the stream writes fewer words than the data has";
    if (walk.wordsWritten > core::kOutputWords) return "the output passes 64 KiB and wraps onto the block's start";
    if (walk.wordsWritten - words.count() > maxWordsPast) {
        return "the stream writes " + std::to_string(walk.wordsWritten - words.count()) + " words past the data";
    }
    for (const StreamCommand& c : walk.commands) {
        if (c.kind == core::BlockCommand::Dictionary) return "a dictionary command";
        if (c.distance > c.position) return "a source before word 0 at word " + std::to_string(c.position);
    }

    // Decoded into an area that holds something else, so that a source outside the output shows.
    core::BlockHeader header{static_cast<uint16_t>(words.count() * 2), 0, stream.groups, 0};
    header.check = core::BlockHeader::checkWordFor(header.length, 0, header.groups);
    std::vector<uint8_t> block(core::kBlockHeaderSize + stream.bytes.size(), 0);
    core::writeLe16(block, 0, header.length);
    core::writeLe16(block, 4, header.groups);
    core::writeLe16(block, 6, header.check);
    std::copy(stream.bytes.begin(), stream.bytes.end(), block.begin() + core::kBlockHeaderSize);
    std::vector<uint8_t> output(core::kBlockHalfSize, 0xA5);
    const auto decoded = core::DecodeBlockStream(
        block, 0, header, std::span<uint8_t, core::kBlockHalfSize>(output.data(), core::kBlockHalfSize));
    if (decoded.truncated || decoded.end != block.size()) return "the decoder does not end where the stream ends";
    for (uint32_t i = 0; i < words.count(); ++i) {
        if (core::readLe16(output, size_t{i} * 2) != words[i]) return "word " + std::to_string(i) + " decodes wrong";
    }
    return std::nullopt;
}

}  // namespace corv::testing
