#pragma once
// The demo game as the benchmarks read it: its ROM, block data file and table file.

#include <memory>

#include "core/rom_image.h"
#include "script/block_data_file.h"
#include "script/table_file.h"
#include "tools/demo/demo_game.h"

namespace corv::bench {

struct DemoInputs {
    DemoInputs() {
        load = script::ParseBlockDataFile(game.blockDataFile, *maps);
        table.parse(game.tableFile);
    }
    demo::DemoGame game = demo::BuildDemoGame();
    std::unique_ptr<script::CodeMaps> maps = std::make_unique<script::CodeMaps>();
    script::BlockDataLoad load;
    script::TableFile table;
    core::RomImage rom{game.rom, "bench.smc"};
};

}  // namespace corv::bench
