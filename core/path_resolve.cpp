#include "core/path_resolve.h"

#include <deque>
#include <system_error>

namespace corv::core {

namespace fs = std::filesystem;

ResolvedPath ResolveThroughLinks(const fs::path& path) {
    constexpr int kMostLinks = 40;  // as many as the system itself follows
    ResolvedPath result;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) {
        result.status = PathResolveStatus::CannotTell;
        return result;
    }
    const fs::path parts = absolute.relative_path();
    std::deque<fs::path> pending(parts.begin(), parts.end());
    fs::path resolved = absolute.root_path();
    bool missing = false;  // a part did not exist: the rest cannot be a link
    int links = 0;
    while (!pending.empty()) {
        const fs::path name = pending.front();
        pending.pop_front();
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            // Back in a folder that exists: what follows may be a link again (a folder made on
            // the way, "new/../link", is made before the system meets the link).
            resolved = resolved.parent_path();
            missing = false;
            continue;
        }
        fs::path candidate = resolved / name;
        if (missing) {
            resolved = std::move(candidate);
            continue;
        }
        const fs::file_status status = fs::symlink_status(candidate, error);
        if (error && status.type() != fs::file_type::not_found) {
            result.status = PathResolveStatus::CannotTell;
            return result;
        }
        if (status.type() == fs::file_type::not_found) {
            missing = true;
            resolved = std::move(candidate);
            continue;
        }
        if (status.type() != fs::file_type::symlink) {
            resolved = std::move(candidate);
            continue;
        }
        const fs::path target = fs::read_symlink(candidate, error);
        if (error || ++links > kMostLinks) {
            result.status = PathResolveStatus::LinkLoop;
            return result;
        }
        result.throughLink = true;
        if (target.is_absolute()) resolved = target.root_path();
        const fs::path rest = target.relative_path();
        pending.insert(pending.begin(), rest.begin(), rest.end());
    }
    result.path = resolved;
    return result;
}

bool LiesInside(const fs::path& path, const fs::path& folder) {
    auto inside = path.begin();
    for (auto part = folder.begin(); part != folder.end(); ++part) {
        if (part->empty()) continue;  // a trailing separator
        while (inside != path.end() && inside->empty()) ++inside;
        if (inside == path.end() || *inside != *part) return false;
        ++inside;
    }
    return true;
}

}  // namespace corv::core
