#pragma once
// Where a write to a path would land: every symbolic link on the way followed, the last one
// too and also when it dangles (a write through a dangling link creates the file it names),
// with ".." taken after the links before it, as the system takes it. The part of the path that
// does not exist yet is kept as written.

#include <filesystem>

namespace corv::core {

enum class PathResolveStatus {
    Resolved,
    LinkLoop,    // more links than the system follows (40), or a link that cannot be read
    CannotTell,  // a part of the path cannot be examined (a folder that may not be searched)
};

struct ResolvedPath {
    PathResolveStatus status = PathResolveStatus::Resolved;
    std::filesystem::path path;  // absolute, without ".", ".." or links
    bool throughLink = false;    // a symbolic link was followed on the way
};

// Resolves `path` (relative to the current folder when it is relative).
[[nodiscard]] ResolvedPath ResolveThroughLinks(const std::filesystem::path& path);

// True when the resolved `path` is the resolved `folder` or lies below it, compared name by name.
[[nodiscard]] bool LiesInside(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace corv::core
