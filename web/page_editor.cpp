#include "web/page_editor.h"

#include <span>

#include "editor/logic/editor_project.h"
#include "editor/logic/kana_text.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/session_live_checks.h"
#include "editor/logic/work_navigation.h"
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

// What setScriptText and setScriptUnits answer.
val ScriptTextAccepted() {
    val accepted = val::object();
    accepted.set("accepted", true);
    return accepted;
}

val ScriptTextRefused(size_t offset, uint32_t character) {
    val refused = val::object();
    refused.set("accepted", false);
    refused.set("offset", static_cast<double>(offset));
    refused.set("character", character);
    return refused;
}

// What replaceScriptUnits answers for a stretch the script does not hold.
val ScriptRangeOutside() {
    val refused = val::object();
    refused.set("accepted", false);
    refused.set("offset", -1);
    return refused;
}

// A line of List Data's string list as its marks show it: {number, state, tooltip}.
val StringRow(const editor::LiveString& string, const check::BoxMetrics& box) {
    val row = val::object();
    row.set("number", string.number);
    row.set("state", editor::StateText(string.state));
    row.set("tooltip", Latin1ToWide(editor::StringTooltip(string, box)));
    return row;
}

val ProblemsArray(const editor::LiveChecks& checks) {
    val problems = val::array();
    for (const editor::ProblemRow& problem : editor::ProblemRows(checks)) {
        val row = val::object();
        row.set("string", problem.string ? val(*problem.string) : val::null());
        row.set("severity", std::string(problem.severity == check::Severity::Error ? "error" : "warning"));
        row.set("message", Latin1ToWide(problem.message));
        row.set("removesEmptyLine", problem.removesEmptyLine);
        problems.call<void>("push", row);
    }
    return problems;
}

// The room and progress panels' texts, with `strings` as the string list's rows.
val PanelsObject(const editor::LiveChecks& checks, const val& strings) {
    val result = val::object();
    result.set("room", editor::RoomPanelText(checks));
    result.set("roomNote", Latin1ToWide(editor::RoomPanelNote(checks)));
    result.set("progress", editor::ProgressText(checks));
    result.set("strings", strings);
    return result;
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
    if (!bytes) return ScriptTextRefused(refusedAt, static_cast<uint32_t>(text[refusedAt]));
    changeScript(std::move(*bytes));
    return ScriptTextAccepted();
}

void PageEditor::changeScript(std::string bytes) {
    if (bytes == script_.text()) return;
    script_.setText(bytes);
    scriptChanged();
}

void PageEditor::scriptChanged() {
    script_.setModified(true);
    if (checks_.isOpen()) checks_.update(script_.text());
}

val PageEditor::checks() const {
    if (!checks_.isOpen()) return val::null();
    val strings = val::array();
    for (const editor::LiveString& string : checks_.strings()) strings.call<void>("push", StringRow(string, checks_.box()));
    val result = PanelsObject(checks_, strings);
    result.set("problems", ProblemsArray(checks_));
    return result;
}

// --- The page's lists and navigation keys -------------------------------------------------------

namespace {

val NumberOrNull(const std::optional<unsigned>& number) { return number ? val(*number) : val::null(); }

}  // namespace

val PageEditor::stringLines() const {
    val lines = val::array();
    if (!checks_.isOpen()) return lines;
    for (const std::string& line : session_.index().stringLines()) lines.call<void>("push", line);
    return lines;
}

val PageEditor::nextUntranslated(int current) const { return NumberOrNull(editor::NextUntranslated(checks_, current)); }

val PageEditor::previousUntranslated(int current) const {
    return NumberOrNull(editor::PreviousUntranslated(checks_, current));
}

val PageEditor::nextProblem(int current) const { return NumberOrNull(editor::NextProblem(checks_, current)); }

val PageEditor::setScriptUnits(const val& units) {
    const std::vector<uint16_t> codes = emscripten::convertJSArrayToNumberVector<uint16_t>(units);
    size_t refusedAt = 0;
    std::optional<std::string> bytes = WideToLatin1(std::span<const uint16_t>(codes), &refusedAt);
    if (!bytes) return ScriptTextRefused(refusedAt, codes[refusedAt]);
    changeScript(std::move(*bytes));
    return ScriptTextAccepted();
}

val PageEditor::replaceScriptUnits(unsigned start, unsigned end, const val& units) {
    const std::string& script = script_.text();
    if (start > end || end > script.size()) return ScriptRangeOutside();
    const std::vector<uint16_t> codes = emscripten::convertJSArrayToNumberVector<uint16_t>(units);
    size_t refusedAt = 0;
    std::optional<std::string> inserted = WideToLatin1(std::span<const uint16_t>(codes), &refusedAt);
    if (!inserted) return ScriptTextRefused(start + refusedAt, codes[refusedAt]);
    if (std::string_view(script).substr(start, end - start) == *inserted) return ScriptTextAccepted();
    // The script's lines around the change move without being read again.
    script_.replace(start, end - start, *inserted);
    scriptChanged();
    return ScriptTextAccepted();
}

val PageEditor::changedChecks() const {
    if (!checks_.isOpen()) return val::null();
    val strings = val::array();
    for (const unsigned number : checks_.changedStrings()) {
        if (const editor::LiveString* string = checks_.string(number)) {
            strings.call<void>("push", StringRow(*string, checks_.box()));
        }
    }
    return PanelsObject(checks_, strings);
}

val PageEditor::problemRows() const {
    if (!checks_.isOpen()) return val::array();
    return ProblemsArray(checks_);
}

val PageEditor::emptyLineCut(unsigned string) const {
    if (!checks_.isOpen()) return val::null();
    const std::optional<editor::ScriptCut> cut = editor::TrailingEmptyLineCut(checks_, script_.text(), string);
    if (!cut) return val::null();
    val result = val::object();
    result.set("start", static_cast<double>(cut->start));
    result.set("length", static_cast<double>(cut->length));
    return result;
}

val PageEditor::stringNumberOf(const std::string& answer) const {
    if (!checks_.isOpen()) return val::null();
    return NumberOrNull(editor::ParseStringNumber(answer, session_.index().stringCount()));
}

}  // namespace corv::web
