#include "web/page_editor.h"

#include "editor/logic/editor_project.h"
#include "editor/logic/kana_text.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/session_live_checks.h"
#include "project/project_file.h"
#include "script/sjis.h"
#include "web/js_values.h"

namespace corv::web {

using emscripten::val;

namespace {

// null for no result; otherwise an object whose fields `fill` sets from it.
template <typename Result, typename Fill>
val ObjectOrNull(const std::optional<Result>& result, Fill fill) {
    if (!result) return val::null();
    val object = val::object();
    fill(object, *result);
    return object;
}

}  // namespace

PageEditor::PageEditor(const std::string& startFolder, val dialogs)
    : dialogs_(std::move(dialogs)), session_(startFolder) {
    session_.setRunning(true);
}

editor::RomOpenStep PageEditor::openRom(const std::string& path) {
    const editor::RomOpenStep step = session_.openRomFile(path, dialogs_);
    // Taken from the image, not the file: a failed open leaves the ROM before it, and the
    // patches start from what was opened.
    if (step == editor::RomOpenStep::Opened) {
        session_.setProjectFolder(std::nullopt);
        const std::span<const uint8_t> opened = session_.rom().fileBytes();
        openedRom_.assign(opened.begin(), opened.end());
    } else if (!session_.romLoaded()) {
        session_.setProjectFolder(std::nullopt);
        openedRom_.clear();
    }
    return step;
}

namespace {

val dataFileObject(const std::optional<editor::DataFileShown>& shown) {
    return ObjectOrNull(shown, [](val& object, const editor::DataFileShown& loaded) {
        object.set("blockLines", LinesToJs(loaded.blockLines));
        object.set("caption", loaded.caption);
    });
}

}  // namespace

val PageEditor::loadDataFile(const std::string& path) { return dataFileObject(session_.loadDataFileFrom(path, dialogs_)); }

val PageEditor::openProject(const std::string& folder) {
    const std::optional<project::ProjectFile> file =
        editor::ReadProject(std::filesystem::path(folder) / project::kProjectFileName, dialogs_);
    if (!file) return val::null();
    const std::optional<editor::DataFileShown> shown = editor::OpenProjectFiles(session_, *file, dialogs_);
    // The patches start from the project's original, as its build's do.
    const std::span<const uint8_t> opened = session_.rom().fileBytes();
    openedRom_.assign(opened.begin(), opened.end());
    return dataFileObject(shown);
}

bool PageEditor::loadTable(const std::string& path) { return session_.loadTableFrom(path, dialogs_); }

val PageEditor::chooseBlock(unsigned n) {
    const std::optional<editor::BlockChoice> chosen = session_.chooseBlock(n, script_, dialogs_);
    selection_ = {};  // a script loaded anew has its caret at the top
    editor::OpenLiveChecks(checks_, session_, script_.text());
    return ObjectOrNull(chosen, [&](val& object, const editor::BlockChoice& choice) {
        object.set("stringCount", session_.index().stringCount());
        object.set("scriptLoad", choice.script);
        object.set("terminatorFound", choice.terminatorFound);
    });
}

val PageEditor::chooseString(unsigned i) {
    return ObjectOrNull(session_.chooseString(i, script_, true), [&](val& object, const editor::ShownChoice& shown) {
        object.set("entryFound", shown.choice.matchLine.has_value());
        object.set("offsetStatus", shown.choice.offsetStatus);
        object.set("kanaCaption", shown.choice.kanaCaption);
        if (shown.newString) {
            hexView_.loadString(*shown.newString);
            // The code table's bytes are Shift-JIS; a JavaScript string takes them as UTF-8.
            object.set("kanaText",
                       script::ShiftJisToUtf8(editor::KanaWindowText(*shown.newString, session_.codeMaps())));
        }
    });
}

val PageEditor::screen() const {
    const preview::PreviewScreen& screen = session_.screen();
    const std::span<const preview::Pixel> bitmap = screen.bitmap();
    val result = val::object();
    result.set("width", screen.width());
    result.set("height", screen.height());
    // A copy: a view into the module's memory would go stale when that memory grows.
    result.set("pixels", val::global("Uint16Array").new_(emscripten::typed_memory_view(bitmap.size(), bitmap.data())));
    return result;
}

std::wstring PageEditor::scriptText() const { return Latin1ToWide(script_.text()); }

val PageEditor::setScriptText(const std::wstring& text) {
    size_t refusedAt = 0;
    std::optional<std::string> bytes = WideToLatin1(text, &refusedAt);
    if (!bytes) {
        val refused = val::object();
        refused.set("accepted", false);
        refused.set("offset", static_cast<double>(refusedAt));
        refused.set("character", static_cast<uint32_t>(text[refusedAt]));
        return refused;
    }
    changeScript(std::move(*bytes));
    val accepted = val::object();
    accepted.set("accepted", true);
    return accepted;
}

void PageEditor::changeScript(std::string bytes) {
    if (bytes == script_.text()) return;
    script_.setText(bytes);
    script_.setModified(true);
    if (checks_.isOpen()) checks_.update(bytes);
}

val PageEditor::checks() const {
    if (!checks_.isOpen()) return val::null();
    val result = val::object();
    result.set("room", editor::RoomPanelText(checks_));
    result.set("roomNote", Latin1ToWide(editor::RoomPanelNote(checks_)));
    result.set("progress", editor::ProgressText(checks_));
    val strings = val::array();
    for (const editor::LiveString& string : checks_.strings()) {
        val row = val::object();
        row.set("number", string.number);
        row.set("state", editor::StateText(string.state));
        row.set("tooltip", Latin1ToWide(editor::StringTooltip(string, checks_.box())));
        strings.call<void>("push", row);
    }
    result.set("strings", strings);
    val problems = val::array();
    for (const editor::ProblemRow& problem : editor::ProblemRows(checks_)) {
        val row = val::object();
        row.set("string", problem.string ? val(*problem.string) : val::null());
        row.set("severity", std::string(problem.severity == check::Severity::Error ? "error" : "warning"));
        row.set("message", Latin1ToWide(problem.message));
        problems.call<void>("push", row);
    }
    result.set("problems", problems);
    return result;
}

}  // namespace corv::web
