#include "patches/bps_create.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "patches/bps_action_writer.h"
#include "patches/bps_matches.h"
#include "patches/bps_patch.h"
#include "patches/crc32.h"

namespace corv::patches {
namespace {

// An unchanged stretch this long is read from the source as it is, and a match this long is
// taken where it is found: the search between them could only save a byte or two.
constexpr uint32_t kTakeUnchanged = 16;
constexpr uint32_t kTakeMatch = 192;
// The search looks at this many target positions at most before it writes what it found.
constexpr uint32_t kWindow = 1 << 15;
// Every length up to this is weighed for the best candidate of each kind; longer ones only whole.
constexpr uint32_t kShortLengths = 32;
constexpr uint32_t kUnreached = std::numeric_limits<uint32_t>::max();
// A TargetRead of up to this many bytes has a word of one byte, of up to 4,128 two.
constexpr uint32_t kLiteralsInAOneByteWord = 32;
// After this many positions in a row whose search found nothing (data new to the patch, such as
// recompressed text), the chains are searched at fewer positions, down to one in kSparsestSearch:
// in such data the searches cost most of the time and find little.
constexpr uint32_t kFruitlessSearches = 64;
constexpr uint32_t kSparsestSearch = 8;
// The chain heads of a position are fetched this many positions before its search: the tables
// are far larger than the caches.
constexpr uint32_t kPrefetchAhead = 8;

// A target position on the cheapest way found to it: how it was reached and the reader's state there.
struct Step {
    uint32_t cost = kUnreached;
    uint32_t previous = 0;   // window position the action starts at
    uint32_t from = 0;       // a copy's read position
    uint32_t sourceCopy = 0; // the reader's copy positions after the action
    uint32_t targetCopy = 0;
    uint32_t literals = 0;   // length of the TargetRead that ends here (0: another action)
    BpsAction kind = BpsAction::TargetRead;
};

struct Decision {
    size_t end = 0;                     // target position the search wrote up to
    std::optional<BpsMatch> match;      // a long match to take there
    BpsAction matchKind = BpsAction::SourceCopy;
};

class Encoder {
public:
    Encoder(std::span<const uint8_t> source, std::span<const uint8_t> target, BpsActionWriter& writer)
        : source_(source), target_(target), writer_(writer), finder_(source, target),
          steps_(std::min<size_t>(kWindow, target.size()) + 1) {}

    void run() {
        size_t at = 0;
        while (at < target_.size()) {
            const size_t unchanged = unchangedEnd(at) - at;
            Decision decision;
            if (unchanged >= kTakeUnchanged) {
                decision.end = at;
                decision.match = copyPastUnchanged(at, unchanged, decision.matchKind);
                if (!decision.match) {
                    writer_.add(BpsAction::SourceRead, unchanged);
                    at += unchanged;
                    finder_.skipTargetUpTo(at);
                    continue;
                }
            } else {
                decision = search(at);
            }
            at = decision.end;
            if (decision.match) {
                // The window cut the match's length: take all of it now.
                const std::span<const uint8_t> from = decision.matchKind == BpsAction::SourceCopy ? source_ : target_;
                const uint32_t length =
                    CommonLength(from, decision.match->from, target_, at, static_cast<uint32_t>(target_.size() - at));
                writer_.add(decision.matchKind, length, decision.match->from);
                at += length;
            }
        }
    }

private:
    // The end of the stretch from `at` where the target equals the source at the same position.
    size_t unchangedEnd(size_t at) {
        if (at >= unchangedFrom_ && at < unchangedTo_) return unchangedTo_;
        if (at >= source_.size() || source_[at] != target_[at]) return at;
        unchangedFrom_ = at;
        unchangedTo_ = at + CommonLength(source_, at, target_, at, std::numeric_limits<uint32_t>::max());
        return unchangedTo_;
    }

    // A copy that starts where the target equals the source and runs well past that stretch:
    // taken instead of the SourceRead, which would cut it in two (the rest then needing a move
    // of its own). Bytes put in shift the rest of a file this way.
    std::optional<BpsMatch> copyPastUnchanged(size_t at, size_t unchanged, BpsAction& kind) {
        finder_.chainTargetUpTo(at);
        const uint32_t limit = static_cast<uint32_t>(std::min<size_t>(target_.size() - at, kWindow));
        finder_.sourceMatches(at, limit, sourceMatches_);
        finder_.targetMatches(at, limit, targetMatches_);
        std::optional<BpsMatch> best;
        for (const auto& [matches, matchKind] : {std::pair{&sourceMatches_, BpsAction::SourceCopy},
                                                 std::pair{&targetMatches_, BpsAction::TargetCopy}}) {
            if (!matches->empty() && matches->front().length > unchanged + kTakeUnchanged &&
                (!best || matches->front().length > best->length)) {
                best = matches->front();
                kind = matchKind;
            }
        }
        return best;
    }

    void relax(uint32_t k, uint32_t length, uint32_t cost, BpsAction kind, uint32_t from, uint32_t sourceCopy,
               uint32_t targetCopy, uint32_t literals = 0) {
        // Positions are made unreached only when first reached: most searches end long before
        // the window does.
        for (; reset_ < k + length; ++reset_) steps_[reset_ + 1] = Step{};
        Step& step = steps_[k + length];
        if (cost >= step.cost) return;
        step = {cost, k, from, sourceCopy, targetCopy, literals, kind};
    }

    // Copies from `from` of up to `length` bytes at window position k: every length up to
    // kShortLengths when `allLengths`, and the whole length.
    void relaxCopy(uint32_t k, BpsAction kind, uint32_t from, uint32_t length, uint32_t minimum, bool allLengths) {
        const Step& here = steps_[k];
        const bool fromSource = kind == BpsAction::SourceCopy;
        // A copy that cuts a TargetRead whose word has grown past one byte starts a new one after
        // it, whose word will grow again: the shortest paths keep one way to each position and
        // would not see that byte, so the copy is charged it.
        const uint32_t cut = here.literals > kLiteralsInAOneByteWord ? 1 : 0;
        const uint32_t base = here.cost + cut + BpsMoveSize(fromSource ? here.sourceCopy : here.targetCopy, from);
        const auto one = [&](uint32_t n) {
            relax(k, n, base + BpsActionWordSize(kind, n), kind, from, fromSource ? from + n : here.sourceCopy,
                  fromSource ? here.targetCopy : from + n);
        };
        if (allLengths) {
            for (uint32_t n = minimum; n < std::min(length, kShortLengths); ++n) one(n);
        }
        if (length >= minimum) one(length);
    }

    // The cheapest actions from `start` up to a stretch or a match long enough to take, or to the
    // window's end, found as shortest paths over the target positions.
    Decision search(size_t start) {
        const uint32_t span = static_cast<uint32_t>(std::min<size_t>(kWindow, target_.size() - start));
        steps_[0] = Step{};
        reset_ = 0;
        steps_[0].cost = 0;
        steps_[0].sourceCopy = static_cast<uint32_t>(writer_.sourceCopy());
        steps_[0].targetCopy = static_cast<uint32_t>(writer_.targetCopy());
        Decision decision;
        uint32_t k = 0;
        for (; k < span; ++k) {
            const size_t at = start + k;
            const uint32_t left = span - k;
            const uint32_t unchanged = static_cast<uint32_t>(unchangedEnd(at) - at);
            if (k > 0 && unchanged >= kTakeUnchanged) break;
            finder_.chainTargetUpTo(at);
            finder_.prefetch(at + kPrefetchAhead);
            const uint32_t stride = std::min(kSparsestSearch, 1 + fruitless_ / kFruitlessSearches);
            if (at % stride == 0) {
                finder_.sourceMatches(at, left, sourceMatches_);
                finder_.targetMatches(at, left, targetMatches_);
                fruitless_ = sourceMatches_.empty() && targetMatches_.empty() ? fruitless_ + stride : 0;
            } else {
                sourceMatches_.clear();
                targetMatches_.clear();
            }
            const Step here = steps_[k];
            // A match long enough is taken at once.
            const BpsMatch* longest = nullptr;
            BpsAction longestKind = BpsAction::SourceCopy;
            if (!sourceMatches_.empty()) longest = &sourceMatches_.front();
            if (!targetMatches_.empty() && (!longest || targetMatches_.front().length > longest->length)) {
                longest = &targetMatches_.front();
                longestKind = BpsAction::TargetCopy;
            }
            if (longest && longest->length >= kTakeMatch) {
                decision.match = *longest;
                decision.matchKind = longestKind;
                break;
            }

            const uint32_t literals = here.literals + 1;
            const uint32_t grown = BpsActionWordSize(BpsAction::TargetRead, literals) -
                                   (here.literals ? BpsActionWordSize(BpsAction::TargetRead, here.literals) : 0);
            relax(k, 1, here.cost + 1 + grown, BpsAction::TargetRead, 0, here.sourceCopy, here.targetCopy, literals);
            for (uint32_t n = 1; n <= std::min({unchanged, left, kShortLengths}); ++n) {
                relax(k, n, here.cost + BpsActionWordSize(BpsAction::SourceRead, n), BpsAction::SourceRead, 0,
                      here.sourceCopy, here.targetCopy);
            }
            if (here.sourceCopy < source_.size()) {
                relaxCopy(k, BpsAction::SourceCopy, here.sourceCopy,
                          CommonLength(source_, here.sourceCopy, target_, at, left), 2, true);
            }
            if (here.targetCopy < at) {
                relaxCopy(k, BpsAction::TargetCopy, here.targetCopy,
                          CommonLength(target_, here.targetCopy, target_, at, left), 2, true);
            }
            for (size_t i = 0; i < sourceMatches_.size(); ++i) {
                const BpsMatch& match = sourceMatches_[i];
                relaxCopy(k, BpsAction::SourceCopy, match.from, match.length, kBpsMinimumMatch, i == 0);
            }
            for (size_t i = 0; i < targetMatches_.size(); ++i) {
                const BpsMatch& match = targetMatches_[i];
                relaxCopy(k, BpsAction::TargetCopy, match.from, match.length, kBpsMinimumMatch, i == 0);
            }
        }
        writePath(k);
        decision.end = start + k;
        return decision;
    }

    // Writes the cheapest way to window position `end`, walking back from it.
    void writePath(uint32_t end) {
        path_.clear();
        for (uint32_t k = end; k > 0; k = steps_[k].previous) path_.push_back(k);
        for (auto it = path_.rbegin(); it != path_.rend(); ++it) {
            const Step& step = steps_[*it];
            writer_.add(step.kind, *it - step.previous, step.from);
        }
    }

    std::span<const uint8_t> source_;
    std::span<const uint8_t> target_;
    BpsActionWriter& writer_;
    BpsMatchFinder finder_;
    std::vector<Step> steps_;
    std::vector<uint32_t> path_;
    std::vector<BpsMatch> sourceMatches_;
    std::vector<BpsMatch> targetMatches_;
    size_t unchangedFrom_ = 0;
    size_t unchangedTo_ = 0;
    uint32_t fruitless_ = 0;  // positions searched in a row without a candidate
    uint32_t reset_ = 0;      // the window positions up to this one are reset for this search
};

void putLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

BpsCreation CreateBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> target,
                           std::span<const uint8_t> metadata) {
    BpsCreation creation;
    if (source.size() > kBpsLargestFile || target.size() > kBpsLargestFile) {
        creation.status = BpsCreateStatus::TooLarge;
        return creation;
    }
    std::vector<uint8_t>& patch = creation.patch;
    patch.assign(kBpsMagic.begin(), kBpsMagic.end());
    PutBpsNumber(patch, source.size());
    PutBpsNumber(patch, target.size());
    PutBpsNumber(patch, metadata.size());
    patch.insert(patch.end(), metadata.begin(), metadata.end());
    BpsActionWriter writer(target, patch, creation.actions);
    Encoder(source, target, writer).run();
    writer.finish();
    putLe32(patch, Crc32(source));
    putLe32(patch, Crc32(target));
    putLe32(patch, Crc32(patch));
    return creation;
}

BpsCreation CreateCheckedBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> target,
                                  std::span<const uint8_t> metadata) {
    BpsCreation creation = CreateBpsPatch(source, target, metadata);
    if (creation.status != BpsCreateStatus::Created) return creation;
    const BpsApplication applied = ApplyBpsPatch(source, creation.patch);
    if (applied.status != BpsStatus::Applied ||
        !std::equal(applied.target.begin(), applied.target.end(), target.begin(), target.end())) {
        creation.status = BpsCreateStatus::Mismatch;
        creation.patch.clear();
    }
    return creation;
}

}  // namespace corv::patches
