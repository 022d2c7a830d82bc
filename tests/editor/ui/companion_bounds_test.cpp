// The companion windows' bounds are outer bounds: once shown, each window's frame covers exactly
// the planned rectangle. The offscreen platform draws a frame of 2 pixels on each side, so a
// window that set its client area to the planned size would come out 4 pixels too large.

#include <QGuiApplication>
#include <QScreen>
#include <QtTest/QtTest>

#include <memory>

#include "editor/ui/companion_window.h"
#include "editor/ui/hex_data_window.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/kana_dump_window.h"
#include "editor/ui/kana_text_window.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/text_editor_window.h"

namespace corv::editor {

namespace {

QRect CentredOnScreen(QSize size) {
    QRect bounds(QPoint(0, 0), size);
    bounds.moveCenter(QGuiApplication::primaryScreen()->geometry().center());
    return bounds;
}

}  // namespace

class CompanionBoundsTest : public QObject {
    Q_OBJECT

private slots:
    void shownWindowsFillTheirOuterBounds_data();
    void shownWindowsFillTheirOuterBounds();
    void theOuterSizeSurvivesHidingStayOnTopAndAUserResize();
};

void CompanionBoundsTest::shownWindowsFillTheirOuterBounds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QRect>("outer");
    QTest::newRow("Text Editor") << 0 << QRect(337, 21, 326, 326);
    QTest::newRow("List Data") << 1 << QRect(342, 350, 328, 114);
    QTest::newRow("Hex Data") << 2 << QRect(340, 466, 397, 175);
    QTest::newRow("Kana Text") << 3 << QRect(10, 350, 326, 129);
    QTest::newRow("insertion progress") << 4 << CentredOnScreen({290, 133});
    QTest::newRow("Current Kana Dump") << 5 << CentredOnScreen({402, 337});
}

void CompanionBoundsTest::shownWindowsFillTheirOuterBounds() {
    QFETCH(int, kind);
    QFETCH(QRect, outer);
    std::unique_ptr<QWidget> window;
    switch (kind) {
    case 0: window = std::make_unique<TextEditorWindow>(); break;
    case 1: window = std::make_unique<ListDataWindow>(); break;
    case 2: window = std::make_unique<HexDataWindow>(); break;
    case 3: window = std::make_unique<KanaTextWindow>(); break;
    case 4: window = std::make_unique<InsertProgressWindow>(); break;
    default: window = std::make_unique<KanaDumpWindow>(); break;
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(window->geometry() != window->frameGeometry());  // the platform does draw a frame
    QTRY_COMPARE(window->frameGeometry(), outer);
}

void CompanionBoundsTest::theOuterSizeSurvivesHidingStayOnTopAndAUserResize() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.frameGeometry(), QRect(337, 21, 326, 326));

    window.hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    QCOMPARE(window.frameGeometry(), QRect(337, 21, 326, 326));

    window.setStayOnTop(true);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    QCOMPARE(window.frameGeometry(), QRect(337, 21, 326, 326));

    // Once the frame is allowed for, a size the user gives is the client size he sees.
    window.resize(400, 200);
    QTest::qWait(50);
    QCOMPARE(window.size(), QSize(400, 200));
}

}  // namespace corv::editor

QTEST_MAIN(corv::editor::CompanionBoundsTest)
#include "companion_bounds_test.moc"
