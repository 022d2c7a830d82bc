#include "patches/ips_patch.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/rom_image.h"
#include "core/byte_order.h"

namespace corv::patches {
namespace {

constexpr std::string_view kMagic = "PATCH";

struct IpsRecord {
    uint32_t offset = 0;
    uint32_t length = 0;
    std::span<const uint8_t> data;  // normal record
    uint8_t runValue = 0;           // run record (data empty)
};

// Walks the records after the magic, handing each to `visit`, then reads what follows the end
// marker: nothing, or the 3-byte length `cutTo`. Returns Applied when the patch is whole.
template <typename Visit>
IpsStatus walkRecords(core::ByteCursor cursor, Visit visit, std::optional<uint32_t>& cutTo) {
    while (true) {
        if (cursor.atEnd()) return IpsStatus::NoEndMarker;
        const auto offset = cursor.u24be();
        if (!offset) return IpsStatus::Truncated;
        if (*offset == kIpsEndMarker) break;
        const auto size = cursor.u16be();
        if (!size) return IpsStatus::Truncated;
        IpsRecord record;
        record.offset = *offset;
        if (*size != 0) {
            const auto data = cursor.bytes(*size);
            if (!data) return IpsStatus::Truncated;
            record.length = *size;
            record.data = *data;
        } else {
            const auto runLength = cursor.u16be();
            const auto value = runLength ? cursor.u8() : std::nullopt;
            if (!value) return IpsStatus::Truncated;
            record.length = *runLength;
            record.runValue = *value;
        }
        visit(record);
    }
    if (cursor.remaining() == 3) {
        cutTo = cursor.u24be();
    } else if (!cursor.atEnd()) {
        return IpsStatus::Damaged;  // records after an early end marker, or stray bytes
    }
    return IpsStatus::Applied;
}

}  // namespace

IpsStatus ApplyIpsPatch(std::vector<uint8_t>& fileImage, std::span<const uint8_t> patch) {
    core::ByteCursor cursor(patch);
    const auto magic = cursor.bytes(kMagic.size());
    if (!magic || !std::equal(magic->begin(), magic->end(), kMagic.begin())) return IpsStatus::NotPatch;

    // The whole patch is checked, and the size it grows the image to found, before anything is
    // written; then it is read again to write. Both passes are linear and keep no record list.
    size_t grownSize = fileImage.size();
    std::optional<uint32_t> cutTo;
    const IpsStatus status = walkRecords(
        cursor,
        [&](const IpsRecord& record) {
            if (record.length > 0) grownSize = std::max(grownSize, size_t{record.offset} + record.length);
        },
        cutTo);
    if (status != IpsStatus::Applied) return status;

    fileImage.resize(grownSize, 0);
    (void)walkRecords(
        cursor,
        [&](const IpsRecord& record) {
            if (record.length == 0) return;
            const auto at = fileImage.begin() + record.offset;
            if (record.data.empty()) {
                std::fill_n(at, record.length, record.runValue);
            } else {
                std::copy(record.data.begin(), record.data.end(), at);
            }
        },
        cutTo);
    if (cutTo && *cutTo < fileImage.size()) fileImage.resize(*cutTo);
    return IpsStatus::Applied;
}

IpsGameCheck CheckPatchedImage(std::span<const uint8_t> fileImage, uint32_t headerSize, bool hadTitle) {
    if (core::CopierHeaderSize(fileImage.size()) != headerSize || fileImage.size() < headerSize) {
        return IpsGameCheck::HeaderGuessChanges;
    }
    if (hadTitle && !core::HasGameTitle(fileImage.subspan(headerSize))) return IpsGameCheck::TitleOverwritten;
    return IpsGameCheck::Kept;
}

}  // namespace corv::patches
