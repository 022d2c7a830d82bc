#pragma once
// The paint box Video: the preview screen stretched over the whole box while a ROM is loaded,
// nothing otherwise (the black window shows through).

#include <QRect>
#include <QWidget>

#include <vector>

#include "preview/palette.h"

namespace corv::editor {

class EditorSession;

class VideoBox final : public QWidget {
    Q_OBJECT
public:
    // `session` must outlive the box.
    explicit VideoBox(const EditorSession& session, QWidget* parent = nullptr);

    // The picture as painted, at the box's size (for tests and screenshots).
    [[nodiscard]] QImage picture() const;

    // Repaints the rows of the screen that changed since the last call (all of them the first
    // time): a key in the Text Editor changes a few rows of the lower box only.
    void showScreenChanges();
    // The box's rectangle that shows screen rows [first, last), with the rows next to it.
    [[nodiscard]] QRect rowsRect(int first, int last) const;

protected:
    void paintEvent(QPaintEvent* event) override;  // VideoPaint

private:
    const EditorSession& session_;
    void rememberShown();

    std::vector<preview::Pixel> shown_;  // the screen's pixels as last asked to be shown
    int shownWidth_ = 0;
};

}  // namespace corv::editor
