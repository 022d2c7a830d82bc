#pragma once
// The paint box Video: the preview screen stretched over the whole box while a ROM is loaded,
// nothing otherwise (the black window shows through).

#include <QWidget>

namespace corv::editor {

class EditorSession;

class VideoBox final : public QWidget {
    Q_OBJECT
public:
    // `session` must outlive the box.
    explicit VideoBox(const EditorSession& session, QWidget* parent = nullptr);

    // The picture as painted, at the box's size (for tests and screenshots).
    [[nodiscard]] QImage picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;  // VideoPaint

private:
    const EditorSession& session_;
};

}  // namespace corv::editor
