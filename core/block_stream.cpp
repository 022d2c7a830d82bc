#include "core/block_stream.h"

#include <algorithm>

#include "core/block_format.h"

namespace corv::core {

uint32_t MatchLengthLimit(uint32_t p, uint32_t command) {
    const uint32_t later = 7 - command;
    const uint32_t room = kOutputWords > p + later ? kOutputWords - p - later : 1;
    return std::min(kMaxMatchWords, room);
}

namespace {

struct GroupStart {
    uint32_t position = 0;   // word position of the group's first command
    uint32_t controlAt = 0;  // byte offset of its control word
};

// Appends groups from word p on until the data is covered, each command taking the match that
// `choose(p, command)` gives, and notes where each group starts.
template <typename Choose>
void appendGroups(EncodedStream& stream, std::vector<GroupStart>& starts, const SourceWords& words, uint32_t p,
                  Choose choose) {
    // Written through a cursor and cut to what was written at the end. The room starts at half
    // the data's size, more than text needs, and grows to the worst case (eight literal words and
    // a control word per group) when a group might not fit; small buffers keep the memory that a
    // compression touches small.
    size_t at = stream.bytes.size();
    const uint32_t groupsLeft = p < words.count() ? (words.count() - p + 7) / 8 : 0;
    const size_t worstCase = at + size_t{groupsLeft} * 18;
    stream.bytes.resize(std::min(worstCase, at + words.count() + 18));
    starts.reserve(starts.size() + groupsLeft);
    uint8_t* out = stream.bytes.data();
    const auto put16 = [&](uint16_t value) {
        out[at] = static_cast<uint8_t>(value & 0xFF);
        out[at + 1] = static_cast<uint8_t>(value >> 8);
        at += 2;
    };
    while (p < words.count()) {
        if (at + 18 > stream.bytes.size()) {
            stream.bytes.resize(worstCase);
            out = stream.bytes.data();
        }
        const size_t controlAt = at;
        starts.push_back({p, static_cast<uint32_t>(controlAt)});
        at += 2;
        ++stream.groups;
        uint16_t control = 0;
        // The last group is always completed, with commands for the words after the data.
        for (uint32_t command = 0; command < 8; ++command) {
            const WordMatch match = choose(p, command);
            BlockCommand kind = BlockCommand::Literal;
            if (match.length >= 2 && match.distance >= 16) {
                kind = BlockCommand::LongReference;
                put16(static_cast<uint16_t>(((match.distance - 1) << 4) + (match.length - 1)));
                p += match.length;
            } else if (match.length >= 1 && match.distance <= 15) {
                kind = BlockCommand::ShortReference;
                out[at++] = static_cast<uint8_t>(((match.distance - 1) << 4) + (match.length - 1));
                p += match.length;
            } else {
                put16(words[p]);
                p += 1;
            }
            control = static_cast<uint16_t>((control << 2) | static_cast<uint16_t>(kind));
        }
        out[controlAt] = static_cast<uint8_t>(control & 0xFF);
        out[controlAt + 1] = static_cast<uint8_t>(control >> 8);
    }
    stream.bytes.resize(at);
}

// The search limited to one word: the oldest equal word of the window.
WordMatch oldestEqualWord(const SourceWords& words, uint32_t p) {
    const uint32_t windowStart = p > kMatchWindowWords - 1 ? p - kMatchWindowWords : 0;
    const uint32_t reachable = std::min(p, words.count());
    for (uint32_t j = windowStart; j < reachable; ++j) {
        if (words[j] == words[p]) return {1, p - j};
    }
    return {};
}

}  // namespace

EncodedStream EncodeBlockStream(const SourceWords& words, MatchFinder& finder) {
    EncodedStream stream;
    std::vector<GroupStart> starts;
    appendGroups(stream, starts, words, 0,
                 [&](uint32_t p, uint32_t command) { return finder.longestMatch(p, MatchLengthLimit(p, command)); });

    // Every group writes at least eight words, so a last group that starts past word 32,760 wraps
    // the decoder's output onto the block's start, and shorter matches cannot help once it has
    // begun. Such a stream is encoded again from an earlier group on with one word per command:
    // its groups then start eight words apart, and a start is chosen whose last group cannot land
    // in the last words before 64 KiB. The first group (at 0) always qualifies.
    constexpr uint32_t kLastGroupStart = kOutputWords - 8;
    if (starts.empty() || starts.back().position <= kLastGroupStart) return stream;
    const uint32_t overhang = words.count() - kLastGroupStart;  // data words past a safe last start
    const auto safe = [&](const GroupStart& start) {
        const uint32_t phase = start.position % 8;
        return start.position <= kLastGroupStart && (phase == 0 || phase >= overhang);
    };
    const auto restart = std::find_if(starts.rbegin(), starts.rend(), safe);
    const GroupStart from = *restart;
    stream.groups = static_cast<uint16_t>(starts.rend() - restart - 1);
    stream.bytes.resize(from.controlAt);
    starts.clear();
    appendGroups(stream, starts, words, from.position,
                 [&](uint32_t p, uint32_t) { return oldestEqualWord(words, p); });
    return stream;
}

}  // namespace corv::core
