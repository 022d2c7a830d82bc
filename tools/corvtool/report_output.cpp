#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "tools/corvtool/command.h"

namespace corv::tool {

int FinishReport(int exitCode) {
    std::cout.flush();
    if (std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout)) return exitCode;
    const int error = errno;
    std::cerr << "corvtool: cannot write to standard output: " << std::strerror(error != 0 ? error : EIO) << '\n';
    return exitCode == kExitOk ? kExitBadInput : exitCode;
}

}  // namespace corv::tool
