#pragma once
// The two text files that come with the demo ROM: the block data file (corvane.txt) and the
// table file (corvane.tbl).

#include <cstdint>
#include <map>
#include <string>

#include "tools/demo/demo_game.h"

namespace corv::demo {

// The dictionary words of the table file, by slot.
[[nodiscard]] std::map<uint8_t, std::string> DemoDictionaryWords();

// The block data file for `game` (its blocks, characters and codes must be filled in).
// Code table keys are the two bytes of a game word in stream order: code 0x0031, stored as
// 31 00, is the line "3100=...".
[[nodiscard]] std::string MakeBlockDataFile(const DemoGame& game);

[[nodiscard]] std::string MakeTableFile(const DemoGame& game);

}  // namespace corv::demo
