#include "web/page_editor.h"

#include "editor/logic/kana_text.h"
#include "script/sjis.h"

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

editor::RomOpenStep PageEditor::openRom(const std::string& path) { return session_.openRomFile(path, dialogs_); }

val PageEditor::loadDataFile(const std::string& path) {
    return ObjectOrNull(session_.loadDataFileFrom(path, dialogs_), [](val& object, const editor::DataFileShown& shown) {
        val lines = val::array();
        for (const std::string& line : shown.blockLines) lines.call<void>("push", line);
        object.set("blockLines", lines);
        object.set("caption", shown.caption);
    });
}

val PageEditor::chooseBlock(unsigned n) {
    const std::optional<editor::BlockChoice> chosen = session_.chooseBlock(n, script_, dialogs_);
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

}  // namespace corv::web
