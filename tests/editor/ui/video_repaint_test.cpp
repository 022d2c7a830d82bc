// A key in the Text Editor repaints only the rows of the paint box whose pixels changed, and
// every such row: what the box shows stays the picture of the whole screen.

#include <QPaintEvent>
#include <QRegion>

#include "editor/logic/editor_session.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/video_box.h"
#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using corv::testing::Named;

// The region of every paint the box received.
class PaintRegions : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

class VideoRepaintTest : public QObject {
    Q_OBJECT

    static std::vector<preview::Pixel> screenPixels(const EditorFixture& f) {
        const preview::PreviewScreen& screen = f.form->session().screen();
        return {screen.bits(), screen.bits() + size_t(screen.pitch()) * screen.height()};
    }

private slots:
    void typingRepaintsTheChangedRowsOnly() {
        EditorFixture f;
        f.open();
        VideoBox* video = Named<VideoBox>(*f.form, "Video");
        // The marks repaint the lower box's window on their own: without them, the box's own
        // repaints are the only ones.
        Named<QAction>(*f.form, "MarkOverflow1")->trigger();
        QVERIFY(!Named<QAction>(*f.form, "MarkOverflow1")->isChecked());
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        QCoreApplication::processEvents();
        const std::vector<preview::Pixel> before = screenPixels(f);

        PaintRegions regions;
        video->installEventFilter(&regions);
        f.caretToLine(6);
        QTest::keyClicks(f.memo(), QStringLiteral("WWW"));
        QCoreApplication::processEvents();
        const std::vector<preview::Pixel> after = screenPixels(f);

        const unsigned width = f.form->session().screen().pitch();
        std::vector<int> changed;
        for (size_t row = 0; row * width < after.size(); ++row) {
            if (!std::equal(after.begin() + long(row * width), after.begin() + long((row + 1) * width),
                            before.begin() + long(row * width))) {
                changed.push_back(int(row));
            }
        }
        QVERIFY2(!changed.empty(), "the typed letters change the lower box");
        for (const int row : changed) {
            QVERIFY2(regions.painted.contains(video->rowsRect(row, row + 1)), "a changed row was not repainted");
        }
        // The upper box (the game's string) did not change and was not painted again.
        QVERIFY(!regions.painted.intersects(video->rowsRect(0, 64)));
        QVERIFY(f.dialogs.unexpected().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::VideoRepaintTest)
#include "video_repaint_test.moc"
