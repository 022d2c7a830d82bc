#pragma once
// The demo game shared by the check tests: built once, with its data file and table loaded.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "insert/insert_test_support.h"
#include "script/block_data_file.h"
#include "script/text_block.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/table_file.h"
#include "tools/demo/demo_game.h"

namespace corv::check::testing_support {
using namespace corv::script;

struct CheckDemo {
    demo::DemoGame game = demo::BuildDemoGame();
    std::unique_ptr<CodeMaps> maps = std::make_unique<CodeMaps>();
    BlockDataLoad load = ParseBlockDataFile(game.blockDataFile, *maps);
    TableFile table = script::testing_support::LoadedTable(game.tableFile, "check_demo.tbl");

    [[nodiscard]] TextBlock block(std::span<const uint8_t> romData, size_t n) const {
        TextBlockLoad loaded = LoadTextBlock(romData, load.blocks, load.blocks.at(n).address);
        EXPECT_EQ(loaded.problem, TextBlockProblem::None);
        return std::move(*loaded.block);
    }
    [[nodiscard]] std::string kanaDump(const TextBlock& block) const {
        return KanaDump(block.bytes(), block.info.stringCount, false, *maps);
    }
};

// Rewrites every text line of a script with `change` (opening and closing lines stay).
inline std::string ChangeLines(const std::string& script, const std::function<std::string(const std::string&, size_t)>& change) {
    std::string out;
    size_t start = 0;
    size_t number = 0;
    while (start < script.size()) {
        size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(start, end - start);
        const bool structural = line.rfind(".STRING", 0) == 0 || IsEntryClosingLine(line) || line.empty();
        out += (structural ? line : change(line, number++)) + "\n";
        start = end + 1;
    }
    return out;
}

inline const CheckDemo& Demo() {
    static const CheckDemo demo;
    return demo;
}

}  // namespace corv::check::testing_support
