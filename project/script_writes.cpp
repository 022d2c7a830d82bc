#include "project/script_writes.h"

#include <optional>
#include <vector>

#include "core/file_read.h"
#include "script/script_file.h"

namespace corv::project {

namespace fs = std::filesystem;

ScriptWritesResult WriteScriptsTogether(const std::map<fs::path, std::string>& scripts, const core::SaveOptions& options) {
    ScriptWritesResult result;
    core::SaveOptions together = options;
    together.refuseStreams = true;
    struct Pending {
        fs::path path;
        std::string bytes;
        std::optional<std::vector<uint8_t>> previous;  // the old script, to put back
        core::PreparedSave save;
    };
    std::vector<Pending> pending;
    pending.reserve(scripts.size());
    const auto fail = [&](const fs::path& path, const core::SaveResult& save) {
        result.written = false;
        result.failed = path;
        result.save = save;
        return result;
    };
    for (const auto& [path, text] : scripts) {
        std::error_code error;
        if (!path.parent_path().empty()) fs::create_directories(path.parent_path(), error);
        Pending& next = pending.emplace_back(Pending{path, script::ScriptFileBytes(text), std::nullopt, {}});
        next.save = core::PreparedSave::prepare(
            path, std::span(reinterpret_cast<const uint8_t*>(next.bytes.data()), next.bytes.size()), together);
        if (!next.save.ready()) return fail(path, next.save.result());  // every temporary file goes with `pending`
        core::FileRead old = core::ReadBoundedFile(next.save.target(), core::kNoReadLimit);
        if (old.status == core::FileReadStatus::Read) next.previous = std::move(old.bytes);
    }
    for (size_t k = 0; k < pending.size(); ++k) {
        const core::SaveResult saved = pending[k].save.commit();
        if (saved.ok() || saved.replaced) continue;
        for (size_t back = 0; back < k; ++back) {
            const Pending& done = pending[back];
            std::error_code error;
            const bool put = done.previous ? core::WriteFileSafely(done.save.target(), *done.previous).ok()
                                           : fs::remove(done.save.target(), error);
            result.restored = result.restored && put;
        }
        return fail(pending[k].path, saved);
    }
    return result;
}

}  // namespace corv::project
