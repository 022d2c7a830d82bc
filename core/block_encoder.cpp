#include "block_encoder.h"

#include <algorithm>
#include <unordered_map>

#include "address.h"
#include "byte_order.h"

namespace corv::core {

namespace {

// Positions of one key in ascending order; `head` skips those that fell out of the window.
struct PositionList {
    std::vector<uint32_t> positions;
    size_t head = 0;

    void dropBefore(uint32_t windowStart) {
        while (head < positions.size() && positions[head] < windowStart) ++head;
    }
};

// Gives the same choice as scanning every window position oldest first: a match of two words or
// more starts with the same pair of words, so only the positions of that pair are candidates;
// when there is none, the best is a one-word match, and the oldest one is the first position of
// the word in the window.
class IndexedMatchFinder final : public MatchFinder {
public:
    explicit IndexedMatchFinder(const SourceWords& words) : words_(words) {}

    WordMatch longestMatch(uint32_t p) override {
        const uint32_t count = words_.count();
        const uint32_t reachable = std::min(p, count);  // sources stay before p and inside the data
        indexUpTo(reachable);
        const uint32_t windowStart = p > kMatchWindowWords - 1 ? p - kMatchWindowWords : 0;

        WordMatch best;
        if (auto pairs = pairs_.find(pairKey(p)); pairs != pairs_.end()) {
            PositionList& list = pairs->second;
            list.dropBefore(windowStart);
            for (size_t i = list.head; i < list.positions.size(); ++i) {
                const uint32_t j = list.positions[i];
                uint32_t length = 2;
                while (length < kMaxMatchWords && j + length < reachable && words_[j + length] == words_[p + length]) {
                    ++length;
                }
                if (length > best.length) {
                    best = {length, p - j};
                    if (length == kMaxMatchWords) break;
                }
            }
        }
        if (best.length > 0) return best;

        if (auto singles = singles_.find(words_[p]); singles != singles_.end()) {
            PositionList& list = singles->second;
            list.dropBefore(windowStart);
            if (list.head < list.positions.size()) return {1, p - list.positions[list.head]};
        }
        return best;
    }

private:
    [[nodiscard]] uint32_t pairKey(uint32_t j) const { return (uint32_t{words_[j]} << 16) | words_[j + 1]; }

    void indexUpTo(uint32_t reachable) {
        for (; singlesIndexed_ < reachable; ++singlesIndexed_) {
            singles_[words_[singlesIndexed_]].positions.push_back(singlesIndexed_);
        }
        // A pair at j is usable once its second word j + 1 is reachable too.
        for (; pairsIndexed_ + 1 < reachable; ++pairsIndexed_) {
            pairs_[pairKey(pairsIndexed_)].positions.push_back(pairsIndexed_);
        }
    }

    const SourceWords& words_;
    std::unordered_map<uint16_t, PositionList> singles_;
    std::unordered_map<uint32_t, PositionList> pairs_;
    uint32_t singlesIndexed_ = 0;
    uint32_t pairsIndexed_ = 0;
};

void appendLe16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::unique_ptr<MatchFinder> MakeIndexedMatchFinder(const SourceWords& words) {
    return std::make_unique<IndexedMatchFinder>(words);
}

EncodedStream EncodeBlockStream(const SourceWords& words, MatchFinder& finder) {
    EncodedStream stream;
    // Worst case: eight literal words and a control word per group of eight words.
    stream.bytes.reserve((words.count() / 8 + 1) * 18 + 2);
    stream.bytes.resize(2);
    size_t controlAt = 0;
    uint32_t p = 0;
    while (p < words.count()) {
        ++stream.groups;
        uint16_t control = 0;
        // The last group is always completed, with commands for the words after the data.
        for (int command = 0; command < 8; ++command) {
            const WordMatch match = finder.longestMatch(p);
            BlockCommand kind = BlockCommand::Literal;
            if (match.length >= 2 && match.distance >= 16) {
                kind = BlockCommand::LongReference;
                appendLe16(stream.bytes, static_cast<uint16_t>(((match.distance - 1) << 4) + (match.length - 1)));
                p += match.length;
            } else if (match.length >= 1 && match.distance <= 15) {
                kind = BlockCommand::ShortReference;
                stream.bytes.push_back(static_cast<uint8_t>(((match.distance - 1) << 4) + (match.length - 1)));
                p += match.length;
            } else {
                appendLe16(stream.bytes, words[p]);
                p += 1;
            }
            control = static_cast<uint16_t>((control << 2) | static_cast<uint16_t>(kind));
        }
        stream.bytes[controlAt] = static_cast<uint8_t>(control & 0xFF);
        stream.bytes[controlAt + 1] = static_cast<uint8_t>(control >> 8);
        controlAt = stream.bytes.size();
        stream.bytes.resize(controlAt + 2);
    }
    stream.bytes.resize(controlAt);  // no room for a control word that no group follows
    return stream;
}

uint32_t EvenBlockLength(std::span<const uint8_t> source, uint32_t length) {
    if (length % 2 == 0) return length;
    const SourceWords words(source, 0);
    return words[length / 2] != 0 ? length + 1 : length - 1;
}

uint32_t CompressBlock(std::span<uint8_t> romData, uint32_t blockAddress, uint32_t limit, uint32_t length,
                       std::span<const uint8_t> source) {
    length = EvenBlockLength(source, length);
    const uint32_t blockOffset = AddressToRomOffset(blockAddress & 0xFFFFFF);
    const auto header = ReadBlockHeader(romData, blockOffset);
    if (!header || !header->valid()) return kCompressBadHeader;

    const auto tooLarge = [](uint64_t excess) {
        // The code has 16 bits for the excess; a larger one is reported as the largest it can say.
        return kCompressTooLargeTag | (static_cast<uint32_t>(std::min<uint64_t>(excess, 0xFFFF)) << 16);
    };
    // The size word has 16 bits: a longer block can never be written.
    if (length > kMaxBlockFileSize) return tooLarge(length - kMaxBlockFileSize);

    const SourceWords words(source, length / 2);
    const auto finder = MakeIndexedMatchFinder(words);
    const EncodedStream stream = EncodeBlockStream(words, *finder);

    const uint64_t streamStart = uint64_t{blockOffset} + header->streamOffset();
    const uint64_t streamEnd = streamStart + stream.bytes.size();
    const uint64_t roomEnd = std::min<uint64_t>(limit, romData.size());
    if (streamEnd > roomEnd) return tooLarge(streamEnd - roomEnd);

    const auto newLength = static_cast<uint16_t>(length);
    writeLe16(romData, blockOffset, newLength);
    writeLe16(romData, blockOffset + 4, stream.groups);
    writeLe16(romData, blockOffset + 6, BlockHeader::checkWordFor(newLength, header->dictionary, stream.groups));
    std::copy(stream.bytes.begin(), stream.bytes.end(), romData.begin() + static_cast<std::ptrdiff_t>(streamStart));
    return kCompressWritten;
}

}  // namespace corv::core
