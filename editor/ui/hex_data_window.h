#pragma once
// The Hex Data window (objectName "HexForm"): the bytes of the string the preview shows as a
// grid of hexadecimal cells, the selected cell's glyph magnified in the paint box "chPic", and
// the cell's game memory address in the caption. The arrow keys move the selection.
//
// Wiring, for the main window:
//   - setSources() once, with what the window reads whenever it draws;
//   - loadString() with the string the session drew, whenever the session hands on one the
//     window does not show yet (EditorSession::chooseString and refreshViews);
//   - show() for "Display He&x Data" and the data file's .HexWindow line.
// The rules are in editor/logic/hex_view.h.

#include <QWidget>

#include <cstdint>
#include <functional>

#include "editor/logic/hex_view.h"
#include "preview/glyph.h"
#include "script/string_decoder.h"

namespace corv::editor {

class HexGlyphBox;

// The glyph picture as an 8 x 16 image (RGB16), before it is stretched into chPic.
[[nodiscard]] QImage HexGlyphImage(const preview::GlyphCell& cell);

class HexDataWindow final : public QWidget {
    Q_OBJECT

public:
    struct Sources {
        // Nothing is drawn (and loadString does nothing) while this answers false; unset: true.
        std::function<bool()> romLoaded;
        // The main window's "&Display Translated Text" check mark; unset: false.
        std::function<bool()> displayTranslated;
        // The game font cell of a 16-bit character (preview::GameFontCell over the current ROM
        // data and game font); unset: a blank cell.
        std::function<preview::GlyphCell(uint16_t code)> gameFontCell;
    };

    explicit HexDataWindow(QWidget* parent = nullptr);

    void setSources(Sources sources);

    // Shows `resolved`: a game string in word mode, or the message that stands for a record
    // without readable text in byte mode. Sets the caption; the selection stays unless the mode
    // changes.
    void loadString(const script::ResolvedString& resolved);
    // The string shown is drawn again: as loading it again would, the grid returns to its top.
    void showAgain();

    [[nodiscard]] const HexView& view() const { return view_; }
    // The glyph picture as chPic shows it before stretching (8 x 16, RGB16).
    [[nodiscard]] QImage glyphImage() const;


protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    [[nodiscard]] bool romLoaded() const;
    void refresh();

    HexView view_;
    Sources sources_;
    HexGlyphBox* glyphBox_ = nullptr;  // chPic
};

}  // namespace corv::editor
