#include "patches/bps_patch.h"

#include <algorithm>

#include "core/byte_order.h"
#include "patches/bps_format.h"
#include "patches/crc32.h"

namespace corv::patches {
namespace {

uint32_t le32(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

// The read position of a copy after moving by the signed number `moved`; false when it leaves
// [0, limit].
bool moveCopyPosition(uint64_t& position, uint64_t moved, uint64_t limit) {
    const uint64_t distance = moved >> 1;
    if (moved & 1) {
        if (distance > position) return false;
        position -= distance;
    } else {
        if (distance > limit - position) return false;
        position += distance;
    }
    return true;
}

// What is set aside for the target before the actions show how much they write.
constexpr uint64_t kReservedTarget = uint64_t{8} << 20;

}  // namespace

BpsRead ReadBpsPatch(std::span<const uint8_t> patch) {
    BpsRead read;
    if (patch.size() < kBpsMagic.size() || !std::equal(kBpsMagic.begin(), kBpsMagic.end(), patch.begin())) {
        read.status = BpsStatus::NotBps;
        return read;
    }
    if (patch.size() < kBpsMagic.size() + 3 + kBpsFooterSize) {
        read.status = BpsStatus::Truncated;
        return read;
    }
    BpsHeader& header = read.header;
    const size_t footer = patch.size() - kBpsFooterSize;
    header.sourceCrc = le32(patch, footer);
    header.targetCrc = le32(patch, footer + 4);
    header.patchCrc = le32(patch, footer + 8);
    if (Crc32(patch.first(patch.size() - 4)) != header.patchCrc) {
        read.status = BpsStatus::Damaged;
        return read;
    }
    core::ByteCursor cursor(patch.first(footer), kBpsMagic.size());
    const auto sourceSize = ReadBpsNumber(cursor);
    const auto targetSize = sourceSize ? ReadBpsNumber(cursor) : std::nullopt;
    const auto metadataSize = targetSize ? ReadBpsNumber(cursor) : std::nullopt;
    if (!metadataSize || *metadataSize > cursor.remaining()) {
        read.status = BpsStatus::Truncated;
        return read;
    }
    if (*sourceSize > kBpsLargestFile || *targetSize > kBpsLargestFile) {
        read.status = BpsStatus::TooLarge;
        return read;
    }
    header.sourceSize = *sourceSize;
    header.targetSize = *targetSize;
    header.metadataStart = cursor.position();
    header.metadataSize = static_cast<size_t>(*metadataSize);
    header.actionsStart = header.metadataStart + header.metadataSize;
    return read;
}

BpsStatus RunBpsActions(std::span<const uint8_t> patch, const BpsHeader& header, std::span<const uint8_t> source,
                        std::vector<uint8_t>& target) {
    // The target grows as the actions write it: a patch that names a large target but holds
    // few actions is refused before that much memory is touched.
    target.clear();
    target.reserve(static_cast<size_t>(std::min<uint64_t>(header.targetSize, kReservedTarget)));
    core::ByteCursor cursor(patch.first(patch.size() - kBpsFooterSize), header.actionsStart);
    const uint64_t targetSize = header.targetSize;
    uint64_t sourceCopy = 0;
    uint64_t targetCopy = 0;
    while (!cursor.atEnd()) {
        const uint64_t output = target.size();
        const auto word = ReadBpsNumber(cursor);
        if (!word) return BpsStatus::BadAction;
        const uint64_t length = (*word >> 2) + 1;
        if (length > targetSize - output) return BpsStatus::BadAction;
        switch (static_cast<BpsAction>(*word & 3)) {
        case BpsAction::SourceRead:
            if (output + length > source.size()) return BpsStatus::BadAction;
            target.insert(target.end(), source.begin() + static_cast<ptrdiff_t>(output),
                          source.begin() + static_cast<ptrdiff_t>(output + length));
            break;
        case BpsAction::TargetRead: {
            const auto bytes = cursor.bytes(static_cast<size_t>(length));  // within the target's size: checked above
            if (!bytes) return BpsStatus::BadAction;
            target.insert(target.end(), bytes->begin(), bytes->end());
            break;
        }
        case BpsAction::SourceCopy: {
            const auto moved = ReadBpsNumber(cursor);
            if (!moved || !moveCopyPosition(sourceCopy, *moved, source.size())) return BpsStatus::BadAction;
            if (length > source.size() - sourceCopy) return BpsStatus::BadAction;
            target.insert(target.end(), source.begin() + static_cast<ptrdiff_t>(sourceCopy),
                          source.begin() + static_cast<ptrdiff_t>(sourceCopy + length));
            sourceCopy += length;
            break;
        }
        case BpsAction::TargetCopy: {
            const auto moved = ReadBpsNumber(cursor);
            // Only bytes already written can be read: the copy starts before the output.
            if (!moved || !moveCopyPosition(targetCopy, *moved, output) || targetCopy >= output) {
                return BpsStatus::BadAction;
            }
            // Byte by byte: a copy that overlaps its own output repeats what it has just written.
            for (uint64_t i = 0; i < length; ++i) target.push_back(target[static_cast<size_t>(targetCopy + i)]);
            targetCopy += length;
            break;
        }
        }
    }
    return target.size() == targetSize ? BpsStatus::Applied : BpsStatus::BadAction;
}

BpsApplication ApplyBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> patch) {
    BpsApplication application;
    const BpsRead read = ReadBpsPatch(patch);
    application.header = read.header;
    application.status = read.status;
    if (read.status != BpsStatus::Applied) return application;
    if (source.size() != read.header.sourceSize || Crc32(source) != read.header.sourceCrc) {
        application.status = BpsStatus::WrongSource;
        return application;
    }
    std::vector<uint8_t> target;
    application.status = RunBpsActions(patch, read.header, source, target);
    if (application.status != BpsStatus::Applied) return application;
    if (Crc32(target) != read.header.targetCrc) {
        application.status = BpsStatus::WrongTarget;
        return application;
    }
    application.target = std::move(target);
    return application;
}

}  // namespace corv::patches
