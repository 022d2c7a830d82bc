// What the page's editor writes: the script file, the block inserted into the ROM in memory, the
// ROM image and its patches; and the Hex Data window's view of the string shown.

#include <algorithm>
#include <cstdio>

#include "core/rom_image.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/outcome_last_log.h"
#include "editor/logic/session_live_checks.h"
#include "insert/insertion.h"
#include "patches/bps_create.h"
#include "patches/ips_create.h"
#include "web/js_values.h"
#include "web/kept_messages.h"
#include "web/page_editor.h"

namespace corv::web {

using emscripten::val;

namespace {

std::string cssColour(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

val PageEditor::hexData() {
    if (!session_.romLoaded() || !hexView_.loaded()) return val::null();
    // The page scrolls the grid itself: every row of the copy is shown at once.
    const size_t rowCount = std::max<size_t>(1, (hexView_.length() + editor::kHexBytesPerRow - 1) /
                                                    editor::kHexBytesPerRow);
    hexView_.setClientHeight(static_cast<int>(rowCount) * editor::kHexLineHeight);
    val rows = val::array();
    std::string text;
    for (int row = 0; row < hexView_.rows(); ++row) {
        val cells = val::array();
        for (int column = 0; column < hexView_.columns(); ++column) {
            const editor::HexCell cell = hexView_.cell(row, column);
            val shown = val::object();
            shown.set("text", cell.text);
            shown.set("colour", cssColour(cell.textColour));
            shown.set("background", cssColour(cell.background));
            cells.call<void>("push", shown);
            text += (column == 0 ? (row == 0 ? "" : "\n") : " ") + cell.text;
        }
        rows.call<void>("push", cells);
    }
    val result = val::object();
    result.set("caption", hexView_.caption());
    result.set("byteMode", hexView_.byteMode());
    result.set("text", text);
    result.set("rows", rows);
    return result;
}

val PageEditor::saveScript() {
    KeptMessages kept(dialogs_);
    bool ok = session_.saveText(script_, kept);
    val result = val::object();
    if (ok) {
        // What the file holds now, read back: the bytes a download gives are those on disk.
        const std::optional<std::vector<uint8_t>> written = core::ReadWholeFile(session_.index().scriptPath());
        ok = written.has_value();
        if (written) result.set("bytes", BytesToJs(*written));
    }
    result.set("ok", ok);
    result.set("message", joined(kept.messages()));
    return result;
}

std::string PageEditor::scriptFileName() const { return session_.index().scriptPath().filename().string(); }

val PageEditor::insertBlock() {
    if (const std::optional<std::filesystem::path>& project = session_.projectFolder()) return buildProject(project->string());
    insert::RecordedProgress progress;
    KeptMessages kept(dialogs_);
    const editor::InsertionLog insertion = session_.insertText(script_, progress, kept);
    const std::optional<insert::InsertionResult>& inserted = insertion.result;
    std::vector<std::string> log = std::move(progress.lines);
    if (inserted && checks_.isOpen()) {
        // The figures of the script the insertion took, before its outcome (the log's last lines,
        // between its two rules); then the block as it now stands, as the desktop's log and
        // panels show them.
        checks_.update(script_.text());
        const size_t outcome = std::min(insertion.outcomeLines, log.size());
        log.insert(log.end() - static_cast<std::ptrdiff_t>(outcome), editor::InsertionRoomLine(checks_));
    }
    if (inserted) editor::OpenLiveChecks(checks_, session_, script_.text());
    val result = val::object();
    result.set("ok", inserted && inserted->outcome == insert::InsertionOutcome::Inserted);
    result.set("log", LinesToJs(log));
    result.set("messages", LinesToJs(kept.messages()));
    result.set("room", checks_.isOpen() ? val(editor::RoomPanelText(checks_)) : val::null());
    return result;
}

val PageEditor::romImage() const {
    if (!session_.romLoaded()) return val::null();
    const std::span<const uint8_t> image = session_.rom().fileBytes();
    if (std::equal(image.begin(), image.end(), openedRom_.begin(), openedRom_.end())) return val::null();
    return BytesToJs(image);
}

val PageEditor::makeIps() const {
    if (!session_.romLoaded() || openedRom_.empty()) return val::null();
    const patches::IpsCreation made = patches::CreateCheckedIpsPatch(openedRom_, session_.rom().fileBytes());
    return made.status == patches::IpsCreateStatus::Created ? BytesToJs(made.patch) : val::null();
}

val PageEditor::makeBps() const {
    if (!session_.romLoaded() || openedRom_.size() < session_.rom().headerSize()) return val::null();
    const std::span<const uint8_t> original = std::span(openedRom_).subspan(session_.rom().headerSize());
    const patches::BpsCreation made = patches::CreateCheckedBpsPatch(original, session_.rom().data());
    return made.status == patches::BpsCreateStatus::Created ? BytesToJs(made.patch) : val::null();
}

}  // namespace corv::web
