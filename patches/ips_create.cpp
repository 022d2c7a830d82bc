#include "patches/ips_create.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "patches/ips_patch.h"

namespace corv::patches {
namespace {

constexpr size_t kMaxRecordBytes = 0xFFFF;
// A record header (offset and size) costs five bytes, a run record eight: two changes this
// close are cheaper as one record.
constexpr size_t kMergeGap = 5;

class PatchWriter {
public:
    PatchWriter(IpsCreation& result, std::span<const uint8_t> target) : out_(result), target_(target) {
        out_.patch.assign({'P', 'A', 'T', 'C', 'H'});
    }

    void literal(size_t start, size_t size) {
        while (size > 0) {
            // A record may not start where its offset would read as "EOF": it starts a byte early.
            size_t from = start;
            if (from == kIpsEndMarker) --from;
            const size_t count = std::min(size + (start - from), kMaxRecordBytes);
            header(from, count);
            out_.patch.insert(out_.patch.end(), target_.begin() + long(from), target_.begin() + long(from + count));
            const size_t done = from + count - start;
            start += done;
            size -= done;
        }
    }

    void run(size_t start, size_t size) {
        while (size > 0) {
            if (start == kIpsEndMarker) {
                literal(start, 1);  // a record of the byte before it and this one
                ++start;
                --size;
                continue;
            }
            const size_t count = std::min(size, kMaxRecordBytes);
            header(start, 0);
            put16(count);
            out_.patch.push_back(target_[start]);
            ++out_.runRecords;
            start += count;
            size -= count;
        }
    }

    void finish(std::span<const uint8_t> original) {
        put24(kIpsEndMarker);
        if (target_.size() < original.size()) put24(target_.size());
    }

private:
    void header(size_t offset, size_t size) {
        put24(offset);
        put16(size);
        ++out_.records;
    }
    void put16(size_t value) {
        out_.patch.push_back(static_cast<uint8_t>(value >> 8));
        out_.patch.push_back(static_cast<uint8_t>(value));
    }
    void put24(size_t value) {
        out_.patch.push_back(static_cast<uint8_t>(value >> 16));
        put16(value & 0xFFFF);
    }

    IpsCreation& out_;
    std::span<const uint8_t> target_;
};

// Writes the changed span [start, end) as literal and run records, whichever mix is shortest.
// The span is cut into groups of equal bytes; each group goes either into a literal (one byte
// each, plus a five-byte header where a literal starts) or into a run record of its own (eight
// bytes). Choosing per group from left to right with the best cost so far ending in a literal
// and ending after a run finds the shortest patch (records past 64 KiB aside, which the writer
// splits).
void writeSpan(PatchWriter& writer, std::span<const uint8_t> target, size_t start, size_t end) {
    constexpr size_t kLiteralHeader = 5;
    constexpr size_t kRunRecord = 8;
    constexpr size_t kNone = SIZE_MAX / 4;
    struct Group {
        size_t from, to;
    };
    std::vector<Group> groups;
    for (size_t p = start; p < end;) {
        size_t q = p + 1;
        while (q < end && target[q] == target[p]) ++q;
        groups.push_back({p, q});
        p = q;
    }
    // Best cost of the groups before k, ending in an open literal or after a run (or at the
    // start); and whether group k - 1 went into a run, for each of the two.
    const size_t n = groups.size();
    std::vector<size_t> inLiteral(n + 1, kNone), afterRun(n + 1, kNone);
    std::vector<bool> literalCameFromRun(n + 1, false), runCameFromLiteral(n + 1, false);
    afterRun[0] = 0;
    for (size_t k = 0; k < n; ++k) {
        const size_t length = groups[k].to - groups[k].from;
        const size_t runs = (length + kMaxRecordBytes - 1) / kMaxRecordBytes;
        const size_t continued = inLiteral[k] + length;
        const size_t opened = afterRun[k] + kLiteralHeader + length;
        inLiteral[k + 1] = std::min(continued, opened);
        literalCameFromRun[k + 1] = opened < continued;
        const bool fromLiteral = inLiteral[k] < afterRun[k];
        afterRun[k + 1] = (fromLiteral ? inLiteral[k] : afterRun[k]) + runs * kRunRecord;
        runCameFromLiteral[k + 1] = fromLiteral;
    }
    // Walk back to mark the groups that become runs.
    std::vector<bool> asRun(n, false);
    bool literal = inLiteral[n] <= afterRun[n];
    for (size_t k = n; k > 0; --k) {
        asRun[k - 1] = !literal;
        literal = literal ? !literalCameFromRun[k] : runCameFromLiteral[k];
    }
    size_t literalFrom = start;
    for (size_t k = 0; k < n; ++k) {
        if (!asRun[k]) continue;
        if (groups[k].from > literalFrom) writer.literal(literalFrom, groups[k].from - literalFrom);
        writer.run(groups[k].from, groups[k].to - groups[k].from);
        literalFrom = groups[k].to;
    }
    if (end > literalFrom) writer.literal(literalFrom, end - literalFrom);
}

}  // namespace

IpsCreation CreateIpsPatch(std::span<const uint8_t> original, std::span<const uint8_t> modified) {
    IpsCreation result;
    if (modified.size() > kIpsLargestTarget) {
        result.status = IpsCreateStatus::TooLarge;
        return result;
    }
    // Bytes past the original's end always count as changed, so a longer target is written out.
    const auto changed = [&](size_t i) { return i >= original.size() || original[i] != modified[i]; };
    PatchWriter writer(result, modified);
    size_t i = 0;
    while (i < modified.size()) {
        if (!changed(i)) {
            ++i;
            continue;
        }
        const size_t start = i;
        size_t end = i + 1;
        while (true) {
            while (end < modified.size() && changed(end)) ++end;
            size_t next = end;
            while (next < modified.size() && next - end <= kMergeGap && !changed(next)) ++next;
            if (next >= modified.size() || next - end > kMergeGap) break;
            end = next;
        }
        writeSpan(writer, modified, start, end);
        i = end;
    }
    writer.finish(original);
    return result;
}

IpsCreation CreateCheckedIpsPatch(std::span<const uint8_t> original, std::span<const uint8_t> modified) {
    IpsCreation creation = CreateIpsPatch(original, modified);
    if (creation.status != IpsCreateStatus::Created) return creation;
    std::vector<uint8_t> patched(original.begin(), original.end());
    if (ApplyIpsPatch(patched, creation.patch) != IpsStatus::Applied ||
        !std::equal(patched.begin(), patched.end(), modified.begin(), modified.end())) {
        creation.status = IpsCreateStatus::Mismatch;
        creation.patch.clear();
    }
    return creation;
}

}  // namespace corv::patches
