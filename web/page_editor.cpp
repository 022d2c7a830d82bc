#include "web/page_editor.h"

#include "editor/logic/kana_text.h"
#include "script/sjis.h"

namespace corv::web {

using emscripten::val;

PageEditor::PageEditor(const std::string& startFolder, val dialogs)
    : dialogs_(std::move(dialogs)), session_(startFolder) {
    session_.setRunning(true);
}

editor::RomOpenStep PageEditor::openRom(const std::string& path) { return session_.openRomFile(path, dialogs_); }

val PageEditor::loadDataFile(const std::string& path) {
    const std::optional<editor::DataFileShown> shown = session_.loadDataFileFrom(path, dialogs_);
    if (!shown) return val::null();
    val lines = val::array();
    for (const std::string& line : shown->blockLines) lines.call<void>("push", line);
    val result = val::object();
    result.set("blockLines", lines);
    result.set("caption", shown->caption);
    return result;
}

val PageEditor::chooseBlock(unsigned n) {
    const std::optional<editor::BlockChoice> choice = session_.chooseBlock(n, script_, dialogs_);
    if (!choice) return val::null();
    val result = val::object();
    result.set("stringCount", session_.index().stringCount());
    result.set("scriptLoad", choice->script);
    result.set("terminatorFound", choice->terminatorFound);
    return result;
}

val PageEditor::chooseString(unsigned i) {
    const std::optional<editor::ShownChoice> shown = session_.chooseString(i, script_, true);
    if (!shown) return val::null();
    val result = val::object();
    result.set("entryFound", shown->choice.matchLine.has_value());
    result.set("offsetStatus", shown->choice.offsetStatus);
    result.set("kanaCaption", shown->choice.kanaCaption);
    if (shown->newString) {
        // The code table's bytes are Shift-JIS; a JavaScript string takes them as UTF-8.
        result.set("kanaText", script::ShiftJisToUtf8(editor::KanaWindowText(*shown->newString, session_.codeMaps())));
    }
    return result;
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

}  // namespace corv::web
