// Project files: whatever a project file holds (tables nested 40,000 deep, NUL characters,
// terminal escapes in its keys), reading it ends with a project or with exactly one error, whose
// words hold no control character; a project whose [editor] table is replaced reads back as the
// same project holding the new state; and the file read from the disk gives what its text gives.
//
// Input: the project file's text.

#include <algorithm>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "project/editor_table.h"
#include "project/project_error_text.h"
#include "project/project_file.h"

using namespace corv;

namespace {

CORV_FUZZ_UNTRACED bool printable(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::AsText({data, size});
    const std::filesystem::path file = fuzz::ScratchFolder() / "project" / project::kProjectFileName;
    static const bool made = std::filesystem::create_directories(file.parent_path());
    (void)made;

    const project::ProjectLoad load = project::ParseProjectFile(text, file);
    fuzz::Require(load.project.has_value() != load.error.has_value(), "a project file gives a project or one error");
    if (load.error) {
        fuzz::Require(printable(project::ProjectErrorText(file, *load.error)), "an error's words hold no control character");
    }

    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    const project::ProjectLoad fromDisk = project::LoadProjectFile(file);
    fuzz::Require(fromDisk.project.has_value() == load.project.has_value() &&
                      (!load.error || fromDisk.error->problem == load.error->problem),
                  "the file on the disk reads as its text does");

    if (!load.project) return 0;
    project::EditorState state;
    state.block = 0xD40000;
    state.string = static_cast<unsigned>(size % 200);
    state.markOverflow = (size & 1) != 0;
    if (const auto replaced = project::WithEditorTable(text, state, file)) {
        const project::ProjectLoad again = project::ParseProjectFile(*replaced, file);
        fuzz::Require(again.project.has_value() && again.project->editor == state,
                      "a replaced [editor] table reads back as the state written");
    }
    return 0;
}
