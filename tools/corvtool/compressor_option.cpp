#include <ostream>

#include "tools/corvtool/command.h"

namespace corv::tool {

bool SplitCompressorOption(const std::vector<std::string>& args, std::string_view command, std::ostream& err,
                           std::vector<std::string>& rest, core::Compressor& compressor) {
    for (const std::string& arg : args) {
        if (arg == kMaximiseOption) {
            compressor = core::Compressor::Maximising;
        } else if (arg.starts_with("--")) {
            err << "corvtool " << command << ": unknown option " << arg << '\n';
            return false;
        } else {
            rest.push_back(arg);
        }
    }
    return true;
}

}  // namespace corv::tool
