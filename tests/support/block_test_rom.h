#pragma once
// A small ROM data image with hand-made blocks, for the codec tests.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/block_format.h"
#include "core/byte_order.h"

namespace corv::testing {

class TestRom {
public:
    explicit TestRom(size_t size = 0x20000) : data(size, 0) {}

    // Writes a header whose check word makes it valid (or invalid when `valid` is false),
    // followed by the dictionary words; returns the offset of the first group.
    uint32_t putHeader(uint32_t offset, uint16_t length, std::initializer_list<uint16_t> dictionary,
                       uint16_t groups, bool valid = true) {
        const auto d = static_cast<uint16_t>(dictionary.size());
        uint16_t check = core::BlockHeader::checkWordFor(length, d, groups);
        if (!valid) ++check;
        core::writeLe16(data, offset, length);
        core::writeLe16(data, offset + 2, d);
        core::writeLe16(data, offset + 4, groups);
        core::writeLe16(data, offset + 6, check);
        uint32_t at = offset + 8;
        for (uint16_t word : dictionary) {
            core::writeLe16(data, at, word);
            at += 2;
        }
        cursor = at;
        return at;
    }
    TestRom& word(uint16_t value) {
        core::writeLe16(data, cursor, value);
        cursor += 2;
        return *this;
    }
    TestRom& byte(uint8_t value) {
        data[cursor++] = value;
        return *this;
    }

    std::vector<uint8_t> data;
    uint32_t cursor = 0;
};

}  // namespace corv::testing
