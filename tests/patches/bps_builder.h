#pragma once
// BPS patches built action by action in a test, written from the format as the tests read it
// (not through the creator), with the footer's checksums computed by zlib or given wrong.

#include <zlib.h>

#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches::testing {

class BpsBuilder {
public:
    BpsBuilder(uint64_t sourceSize, uint64_t targetSize, std::vector<uint8_t> metadata = {}) {
        bytes_ = {'B', 'P', 'S', '1'};
        number(sourceSize);
        number(targetSize);
        number(metadata.size());
        bytes_.insert(bytes_.end(), metadata.begin(), metadata.end());
    }
    BpsBuilder& sourceRead(uint64_t length) { return action(0, length); }
    BpsBuilder& targetRead(std::vector<uint8_t> data) {
        action(1, data.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    // `move` is the signed change of the copy's read position.
    BpsBuilder& sourceCopy(uint64_t length, int64_t move) { return copy(2, length, move); }
    BpsBuilder& targetCopy(uint64_t length, int64_t move) { return copy(3, length, move); }
    BpsBuilder& number(uint64_t value) {
        while (true) {
            const uint8_t low = value & 0x7F;
            value >>= 7;
            if (value == 0) {
                bytes_.push_back(0x80 | low);
                return *this;
            }
            bytes_.push_back(low);
            --value;
        }
    }
    BpsBuilder& raw(std::vector<uint8_t> extra) {
        bytes_.insert(bytes_.end(), extra.begin(), extra.end());
        return *this;
    }
    // The finished patch for `source` and `target`; `wrong` flips one bit of that checksum
    // (0 source, 1 target, 2 patch).
    [[nodiscard]] std::vector<uint8_t> finish(std::span<const uint8_t> source, std::span<const uint8_t> target,
                                              int wrong = -1) const {
        std::vector<uint8_t> patch = bytes_;
        le32(patch, crc(source) ^ (wrong == 0 ? 1u : 0u));
        le32(patch, crc(target) ^ (wrong == 1 ? 1u : 0u));
        le32(patch, crc(patch) ^ (wrong == 2 ? 1u : 0u));
        return patch;
    }

    static uint32_t crc(std::span<const uint8_t> bytes) {
        return static_cast<uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), bytes.data(), bytes.size()));
    }

private:
    BpsBuilder& action(uint64_t kind, uint64_t length) { return number((length - 1) << 2 | kind); }
    BpsBuilder& copy(uint64_t kind, uint64_t length, int64_t move) {
        action(kind, length);
        return number(move < 0 ? uint64_t(-move) << 1 | 1 : uint64_t(move) << 1);
    }
    static void le32(std::vector<uint8_t>& out, uint32_t value) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

}  // namespace corv::patches::testing
