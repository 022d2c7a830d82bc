#pragma once
// Little- and big-endian access to byte views, written once for the whole project.
// The unchecked helpers expect the caller to have checked the bounds; ByteCursor checks them itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corv::core {

[[nodiscard]] inline uint16_t readLe16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline void writeLe16(std::span<uint8_t> bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// Reads forward through a byte view; every read past the end yields std::nullopt and leaves
// the position where it was, so a parser never invents bytes.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes, size_t position = 0)
        : bytes_(bytes), position_(position) {}

    [[nodiscard]] size_t position() const { return position_; }
    [[nodiscard]] size_t remaining() const {
        return position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    }
    [[nodiscard]] bool atEnd() const { return remaining() == 0; }

    [[nodiscard]] std::optional<uint8_t> u8() {
        if (remaining() < 1) return std::nullopt;
        return bytes_[position_++];
    }
    [[nodiscard]] std::optional<uint16_t> u16le() {
        if (remaining() < 2) return std::nullopt;
        const uint16_t v = readLe16(bytes_, position_);
        position_ += 2;
        return v;
    }
    [[nodiscard]] std::optional<uint16_t> u16be() {
        if (remaining() < 2) return std::nullopt;
        const uint16_t v = static_cast<uint16_t>((bytes_[position_] << 8) | bytes_[position_ + 1]);
        position_ += 2;
        return v;
    }
    [[nodiscard]] std::optional<uint32_t> u24be() {
        if (remaining() < 3) return std::nullopt;
        const uint32_t v = (uint32_t{bytes_[position_]} << 16) | (uint32_t{bytes_[position_ + 1]} << 8) |
                           bytes_[position_ + 2];
        position_ += 3;
        return v;
    }
    // The next n bytes, or std::nullopt when fewer remain.
    [[nodiscard]] std::optional<std::span<const uint8_t>> bytes(size_t n) {
        if (remaining() < n) return std::nullopt;
        auto view = bytes_.subspan(position_, n);
        position_ += n;
        return view;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_;
};

}  // namespace corv::core
