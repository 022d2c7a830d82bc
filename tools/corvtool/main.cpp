// corvtool: the command-line companion of the two programs, for scripts and batch work.

#include <iostream>
#include <string>
#include <vector>

#include "tools/corvtool/commands.h"

int main(int argc, char** argv) {
    // A report that did not reach standard output turns success into a failure.
    return corv::tool::FinishReport(
        corv::tool::RunCorvtool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr));
}
