// The List Data window on the offscreen platform: its lists side by side at every size, filling
// with hints, and which user actions count as a choice (program-made selections never do).

#include <QListWidget>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include "editor/ui/list_data_window.h"
#include "support/widget_lookup.h"

namespace corv::editor {

using corv::testing::Named;

namespace {

std::vector<std::string> lines(int count, const char* prefix) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(prefix + std::to_string(i));
    return out;
}

void clickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

}  // namespace

class ListDataWindowTest : public QObject {
    Q_OBJECT

private slots:
    void listsShareTheClientWidth();
    void fillingSelectsTheFirstEntryAndSetsTheHint();
    void userChoicesAreSignalled();
    void focusGoesToAListOnlyWhileVisible();
};

void ListDataWindowTest::listsShareTheClientWidth() {
    ListDataWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("cmForm"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(301, 90);
    QTRY_COMPARE(Named<QListWidget>(window, "bList")->geometry(), QRect(0, 0, 150, 90));
    QCOMPARE(Named<QListWidget>(window, "pList")->geometry(), QRect(150, 0, 150, 90));
    window.resize(500, 60);
    QTRY_COMPARE(Named<QListWidget>(window, "pList")->geometry(), QRect(250, 0, 250, 60));
}

void ListDataWindowTest::fillingSelectsTheFirstEntryAndSetsTheHint() {
    ListDataWindow window;
    QSignalSpy blocks(&window, &ListDataWindow::blockClicked);
    QSignalSpy strings(&window, &ListDataWindow::stringClicked);
    window.setBlocks({"Block 140000", "Block 141000"});
    window.setStrings(lines(3, "String# "));
    QCOMPARE(Named<QListWidget>(window, "bList")->count(), 2);
    QCOMPARE(Named<QListWidget>(window, "pList")->item(2)->text(), QStringLiteral("String# 2"));
    QCOMPARE(window.selectedBlock(), std::optional<int>(0));
    QCOMPARE(window.selectedString(), std::optional<int>(0));
    QCOMPARE(Named<QListWidget>(window, "bList")->toolTip(), QStringLiteral("2 item(s)"));
    QCOMPARE(Named<QListWidget>(window, "pList")->toolTip(), QStringLiteral("3 item(s)"));

    window.selectString(7);
    QCOMPARE(window.selectedString(), std::nullopt);
    window.setStrings({});
    QCOMPARE(window.selectedString(), std::nullopt);
    QCOMPARE(Named<QListWidget>(window, "pList")->toolTip(), QStringLiteral("0 item(s)"));
    QCOMPARE(blocks.count(), 0);
    QCOMPARE(strings.count(), 0);
}

void ListDataWindowTest::userChoicesAreSignalled() {
    ListDataWindow window;
    window.setBlocks(lines(4, "Block "));
    window.setStrings(lines(5, "String# "));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy blocks(&window, &ListDataWindow::blockClicked);
    QSignalSpy strings(&window, &ListDataWindow::stringClicked);

    clickRow(Named<QListWidget>(window, "pList"), 3);
    QCOMPARE(strings.count(), 1);
    QCOMPARE(strings.at(0).at(0).toInt(), 3);
    // Clicking the chosen entry again chooses it again (a block is reloaded that way).
    clickRow(Named<QListWidget>(window, "pList"), 3);
    QCOMPARE(strings.count(), 2);
    QCOMPARE(strings.at(1).at(0).toInt(), 3);
    // Moving with the keys chooses as a click does.
    QTest::keyClick(Named<QListWidget>(window, "pList"), Qt::Key_Down);
    QCOMPARE(strings.count(), 3);
    QCOMPARE(strings.at(2).at(0).toInt(), 4);
    QCOMPARE(window.selectedString(), std::optional<int>(4));

    clickRow(Named<QListWidget>(window, "bList"), 2);
    QCOMPARE(blocks.count(), 1);
    QCOMPARE(blocks.at(0).at(0).toInt(), 2);
    QCOMPARE(strings.count(), 3);
}

void ListDataWindowTest::focusGoesToAListOnlyWhileVisible() {
    ListDataWindow window;
    window.setStrings(lines(2, "String# "));
    // Asked while hidden, the focus must not be waiting on pList when the window is shown.
    window.focusStringList();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!Named<QListWidget>(window, "pList")->hasFocus());
    window.focusStringList();
    QTRY_VERIFY(Named<QListWidget>(window, "pList")->hasFocus());
    window.focusBlockList();
    QTRY_VERIFY(Named<QListWidget>(window, "bList")->hasFocus());
}

}  // namespace corv::editor

QTEST_MAIN(corv::editor::ListDataWindowTest)
#include "list_data_window_test.moc"
