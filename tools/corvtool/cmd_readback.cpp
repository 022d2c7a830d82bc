// corvtool readback ROM DATAFILE TABLE ADDRESS: the script entries that an inserted block holds
// in the ROM, decoded from the translated game's format (dictionary words written out from the
// table file, codes as keywords, other bytes as escapes), in the layout of a kana dump.
//
// Exit codes: 0 printed; 2 the block carries no inserted mark or an input cannot be read; 3 usage.

#include <ostream>

#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/command.h"
#include "check/block_check.h"

namespace corv::tool {
namespace {

int runReadback(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4) {
        err << "corvtool readback: expected ROM DATAFILE TABLE ADDRESS\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[3], "readback", err, address)) return kExitUsage;
    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, args[0], args[1], "readback", err) ||
        !LoadTable(inputs, args[2], "readback", err) || !LoadBlock(inputs, address, "readback", err)) {
        return kExitBadInput;
    }
    if (!inputs.block->inserted) {
        // Its strings are still the game's own words, which "corvtool kana" shows.
        err << "corvtool readback: the block at " << args[3]
            << " carries no inserted mark; its text is the game's own (see corvtool kana)\n";
        return kExitBadInput;
    }
    out << check::ReadBackScript(*inputs.block, inputs.table);
    return kExitOk;
}

}  // namespace

extern const Command kReadbackCommand{
    "readback", "ROM DATAFILE TABLE ADDRESS",
    "print the script entries that the inserted block at ADDRESS holds in ROM, as the game will show them",
    runReadback};

}  // namespace corv::tool
