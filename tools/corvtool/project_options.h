#pragma once
// The options the project commands share: --jobs N and, for build, --maximise.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_encoder.h"

namespace corv::tool {

struct ProjectOptions {
    std::vector<std::string> arguments;
    unsigned jobs = 0;  // the number of cores unless --jobs gives one
    bool json = false;
    core::Compressor compressor = core::Compressor::Standard;
};

// Splits `args`; the options not named in `allowed` ("--jobs", "--json", "--maximise") are refused
// with one line naming `command`.
[[nodiscard]] bool ParseProjectOptions(const std::vector<std::string>& args, std::string_view command,
                                       std::initializer_list<std::string_view> allowed, std::ostream& err,
                                       ProjectOptions& options);

}  // namespace corv::tool
