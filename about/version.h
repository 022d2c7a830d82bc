#pragma once
// The version of this build, for --version and Help > About: the project's version as CMake
// knows it and, when built from a git checkout, the commit it was built from.

#include <string>
#include <string_view>

namespace corv::about {

// The project's version, "MAJOR.MINOR.PATCH".
[[nodiscard]] std::string_view ProjectVersion();

// The commit the build came from, abbreviated, with "-modified" when the checkout had uncommitted
// changes; empty when built without git or outside a checkout (from a source tarball).
[[nodiscard]] std::string_view GitCommit();

// "corvtool 1.0.0 (commit 0123456789ab)", or "corvtool 1.0.0" without a commit.
[[nodiscard]] std::string FormatVersionLine(std::string_view program, std::string_view version,
                                            std::string_view commit);

// FormatVersionLine with this build's version and commit.
[[nodiscard]] std::string VersionLine(std::string_view program);

// The text of Help > About: the version line, a blank line and what the program is for.
[[nodiscard]] std::string AboutText(std::string_view program, std::string_view purpose);

// True when the words after the program's name are exactly "--version".
[[nodiscard]] bool AsksForVersion(int argc, const char* const* argv);

}  // namespace corv::about
