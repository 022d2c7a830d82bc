#pragma once
// Helpers shared by the insertion tests: a progress recorder, table files with a recorded name,
// and text blocks built record by record.

#include "support/temp_folder.h"
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/block_format.h"
#include "core/byte_order.h"
#include "insert/insertion.h"
#include "script/table_file.h"

namespace corv::script::testing_support {

class RecordingProgress final : public insert::InsertionProgress {
public:
    void addLogLine(const std::string& line) override { log.push_back(line); }
    void start() override {
        ++starts;
        log.clear();
        events.emplace_back("start");
    }
    void setCaption(std::string_view caption) override {
        captions.emplace_back(caption);
        events.push_back("caption " + std::string(caption));
    }
    void setGaugeRange(int minimum, int maximum) override {
        gaugeMinimum = minimum;
        gaugeMaximum = maximum;
        events.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
    }
    void setGaugePosition(int position) override {
        positions.push_back(position);
        events.push_back("gauge " + std::to_string(position));
    }
    void processPendingMessages() override { ++pendingPasses; }

    std::vector<std::string> log;
    std::vector<std::string> captions;
    std::vector<int> positions;
    std::vector<std::string> events;  // start, captions, gauge range and positions in call order
    int gaugeMinimum = -100;
    int gaugeMaximum = -100;
    int starts = 0;
    int pendingPasses = 0;
};

// A table file loaded from disk, so that its name is recorded as the editor's load does.
inline TableFile LoadedTable(std::string_view text, const std::string& name = "insert_test.tbl") {
    const corv::testing::TempFolder folder;
    const std::filesystem::path path = folder.path() / name;
    {
        std::ofstream file(path, std::ios::binary);
        file << text;
    }
    TableFile table;
    EXPECT_EQ(table.load(path), TableLoadResult::Loaded);
    return table;
}

struct TestRecord {
    uint16_t type = 2;
    uint16_t textPointer = 0;
};

// Writes the records, the 0xFFFF terminator and `data` at `dataOffset` into the lower half.
inline void FillBlock(core::BlockBuffer& buffer, const std::vector<TestRecord>& records,
                      uint32_t dataOffset, const std::vector<uint8_t>& data) {
    buffer.fill(0);
    for (size_t k = 0; k < records.size(); ++k) {
        core::writeLe16(buffer, 64 * k, 0x0001);
        core::writeLe16(buffer, 64 * k + 2, records[k].type);
        core::writeLe16(buffer, 64 * k + 14, records[k].textPointer);
    }
    core::writeLe16(buffer, 64 * records.size(), 0xFFFF);
    std::copy(data.begin(), data.end(), buffer.begin() + dataOffset);
}

inline uint16_t TextPointer(const core::BlockBuffer& buffer, unsigned record) {
    return core::readLe16(buffer, 64 * size_t{record} + 14);
}

inline std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace corv::script::testing_support
