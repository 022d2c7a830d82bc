#pragma once
// What a release folder holds: the patches the build made, under the names the project gives
// them, and a read-me for players (release_readme.h); nothing else. WriteBuildOutputs writes it
// together with the build's own outputs.

#include <string>
#include <variant>
#include <vector>

#include "core/rom_image.h"
#include "project/project_file.h"

namespace corv::project {

struct BuildResult;

inline constexpr char kReleaseReadmeName[] = "README.txt";

struct ReleaseFile {
    ProjectPath path;  // the file in the folder, with the key and line that named the folder
    std::vector<uint8_t> bytes;
};

struct ReleaseFiles {
    ProjectPath folder;  // release.dir, or the command's --release-dir (its key, line 0)
    std::vector<ReleaseFile> files;
};

// The files of a release of `build` (which was Built) into `folder`. A missing release.title or
// release.version, or two files of one name (the patches' output paths end in the same name,
// or in the read-me's), is an error named by key and line; nothing is read or written.
[[nodiscard]] std::variant<ReleaseFiles, ProjectError> MakeReleaseFiles(const ProjectFile& project,
                                                                        const ProjectPath& folder,
                                                                        const core::RomImage& original,
                                                                        const BuildResult& build);

}  // namespace corv::project
