#include "tools/corvtool/png_file.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace corv::tool {
namespace {

void putBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
    putBe32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    putBe32(out, static_cast<uint32_t>(crc));
}

// The image rows as PNG filters them: a filter byte (0, none) before each row of RGB triples.
std::vector<uint8_t> scanlines(const preview::PreviewScreen& screen, unsigned scale) {
    const size_t width = size_t{screen.width()} * scale;
    std::vector<uint8_t> rows;
    rows.reserve((1 + width * 3) * screen.height() * scale);
    std::vector<uint8_t> row;
    for (unsigned y = 0; y < screen.height(); ++y) {
        row.assign(1, 0);
        for (const preview::Pixel pixel : screen.bitmapRow(y)) {
            const uint32_t rgb = Rgb888(pixel);
            for (unsigned i = 0; i < scale; ++i) {
                row.push_back(static_cast<uint8_t>(rgb >> 16));
                row.push_back(static_cast<uint8_t>(rgb >> 8));
                row.push_back(static_cast<uint8_t>(rgb));
            }
        }
        for (unsigned i = 0; i < scale; ++i) rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

}  // namespace

std::vector<uint8_t> EncodePng(const preview::PreviewScreen& screen, unsigned scale) {
    const std::vector<uint8_t> raw = scanlines(screen, scale);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    putBe32(header, screen.width() * scale);
    putBe32(header, screen.height() * scale);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, deflate, filters, no interlace

    static constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> file(kSignature.begin(), kSignature.end());
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", packed);
    putChunk(file, "IEND", {});
    return file;
}

}  // namespace corv::tool
