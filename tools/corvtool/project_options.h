#pragma once
// The options the project commands share: --jobs N and, for build, --maximise.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_encoder.h"
#include "project/project_file.h"

namespace corv::tool {

struct ProjectOptions {
    std::vector<std::string> arguments;
    unsigned jobs = 0;  // the number of cores unless --jobs gives one
    bool json = false;
    bool verbose = false;  // --verbose: build lists its warnings, check its empty translations
    bool allowOutside = false;  // --allow-outside: the project may write outside its folder
    std::optional<std::string> releaseDir;  // --release-dir DIR: build writes a release there
    bool release = false;       // --release: untranslated strings stop the build
    core::Compressor compressor = core::Compressor::Standard;
};

// The option that names the folder of a release.
inline constexpr std::string_view kReleaseDirOption = "--release-dir";
// The option that lets a project write outside its folder.
inline constexpr std::string_view kAllowOutsideOption = "--allow-outside";
// The option of a build that refuses untranslated strings instead of standing them in.
inline constexpr std::string_view kReleaseOption = "--release";

// The compressor of a build, check or status: the maximising one when --maximise or the project's
// compressor key asks for it (the option only ever raises what the file says).
[[nodiscard]] core::Compressor ProjectCompressor(const ProjectOptions& options, const project::ProjectFile& file);

// Splits `args`; the options not named in `allowed` ("--jobs", "--json", "--verbose",
// "--maximise", "--allow-outside", "--release-dir") are refused with one line naming `command`.
[[nodiscard]] bool ParseProjectOptions(const std::vector<std::string>& args, std::string_view command,
                                       std::initializer_list<std::string_view> allowed, std::ostream& err,
                                       ProjectOptions& options);

}  // namespace corv::tool
