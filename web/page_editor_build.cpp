// Build Project on a project folder the page put into the module's file system.

#include "editor/logic/editor_project.h"
#include "insert/insertion.h"
#include "project/project_file.h"
#include "web/js_values.h"
#include "web/kept_messages.h"
#include "web/page_editor.h"

namespace corv::web {

using emscripten::val;

val PageEditor::buildProject(const std::string& folder) {
    KeptMessages kept(dialogs_);
    insert::RecordedProgress progress;
    val outputs = val::array();
    bool ok = false;
    if (const auto file = editor::ReadProject(std::filesystem::path(folder) / project::kProjectFileName, kept)) {
        const std::optional<std::filesystem::path>& open = session_.projectFolder();
        if (open && open->lexically_normal() == file->file.parent_path().lexically_normal()) {
            // The project being edited: its script is saved first, as the desktop's build does.
            ok = editor::RunProjectBuild(session_, *file, script_, progress, kept) ==
                 editor::ProjectBuildOutcome::Written;
        } else {
            // A session of its own, with no block chosen: the build reads the scripts as they are
            // in the folder, and this editor's script (maybe another game's) is never written there.
            editor::EditorSession building(folder);
            script::MemoryScriptText noScript;
            ok = editor::RunProjectBuild(building, *file, noScript, progress, kept) ==
                 editor::ProjectBuildOutcome::Written;
        }
        const auto output = [&](const project::ProjectPath& written) {
            val named = val::object();
            named.set("name", written.path.filename().string());
            named.set("path", written.path.string());
            outputs.call<void>("push", named);
        };
        if (ok) {
            output(file->outputRom);
            if (file->writesBps) output(file->outputBps);
            if (file->writesIps) output(file->outputIps);
        }
    }
    val result = val::object();
    result.set("ok", ok);
    result.set("lines", LinesToJs(progress.lines));
    result.set("messages", LinesToJs(kept.messages()));
    result.set("outputs", outputs);
    return result;
}

}  // namespace corv::web
