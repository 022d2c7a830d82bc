#include "patches/bps_patch.h"

#include <algorithm>
#include <cstring>

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
    target.assign(header.targetSize, 0);
    core::ByteCursor cursor(patch.first(patch.size() - kBpsFooterSize), header.actionsStart);
    const uint64_t targetSize = header.targetSize;
    uint64_t output = 0;
    uint64_t sourceCopy = 0;
    uint64_t targetCopy = 0;
    while (!cursor.atEnd()) {
        const auto word = ReadBpsNumber(cursor);
        if (!word) return BpsStatus::BadAction;
        const uint64_t length = (*word >> 2) + 1;
        if (length > targetSize - output) return BpsStatus::BadAction;
        uint8_t* const out = target.data() + output;
        switch (static_cast<BpsAction>(*word & 3)) {
        case BpsAction::SourceRead:
            if (output + length > source.size()) return BpsStatus::BadAction;
            std::memcpy(out, source.data() + output, length);
            break;
        case BpsAction::TargetRead: {
            const auto bytes = cursor.bytes(length);
            if (!bytes) return BpsStatus::BadAction;
            std::memcpy(out, bytes->data(), length);
            break;
        }
        case BpsAction::SourceCopy: {
            const auto moved = ReadBpsNumber(cursor);
            if (!moved || !moveCopyPosition(sourceCopy, *moved, source.size())) return BpsStatus::BadAction;
            if (length > source.size() - sourceCopy) return BpsStatus::BadAction;
            std::memcpy(out, source.data() + sourceCopy, length);
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
            const uint8_t* from = target.data() + targetCopy;
            for (uint64_t i = 0; i < length; ++i) out[i] = from[i];
            targetCopy += length;
            break;
        }
        }
        output += length;
    }
    return output == targetSize ? BpsStatus::Applied : BpsStatus::BadAction;
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
