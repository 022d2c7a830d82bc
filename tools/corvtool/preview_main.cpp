// corvtool-preview: the preview command of corvtool in a program of its own, the only one of the
// command line that links the GUI libraries. corvtool starts it as "corvtool-preview preview ARGS".

#include <iostream>
#include <string>
#include <vector>

#include "command.h"

namespace corv::tool {
extern const Command kPreviewCommand;
}  // namespace corv::tool

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // The command's name comes first, as in corvtool; it may be left out.
    if (!args.empty() && args[0] == corv::tool::kPreviewCommand.name) args.erase(args.begin());
    return corv::tool::FinishReport(corv::tool::kPreviewCommand.run(args, std::cout, std::cerr));
}
