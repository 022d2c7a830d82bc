// The Text Editor window on the offscreen platform: script bytes through load, edit and save,
// the script-text contract next to the in-memory script text, and what typing, resizing and
// Shift+Delete do to the caret, the view and the change signal.

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <fstream>
#include <iterator>

#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"
#include "support/widget_lookup.h"
#include "script/script_file.h"
#include "support/temp_folder.h"

namespace corv::editor {

using corv::testing::Named;
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Types each character as a key press carrying it, the way a keyboard layout with that
// character would (QTest's key helpers take ASCII only).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

// The program's own load and save of a block's script: the file read into the script text, and
// the script text written back.
bool loadScript(TextEditorWindow& window, const fs::path& path) {
    const auto text = script::LoadScriptFile(path);
    if (!text) return false;
    window.script().setText(*text);
    window.script().setModified(false);
    return true;
}

bool saveScript(TextEditorWindow& window, const fs::path& path) {
    if (!script::SaveScriptFile(path, window.script().text())) return false;
    window.script().setModified(false);
    return true;
}

QByteArray qtBytes(const std::string& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// Every byte value once, with CR LF line ends around the LF (the only line end a script file
// has on disk) and a lone CR in the middle of a line.
std::string everyByteFile() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        if (value == '\n') continue;
        if (value == '\r') {
            bytes += "\r\n";
            bytes += "x\ry";  // a lone CR, a byte like any other
            continue;
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string numberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += ".STRING " + std::to_string(i) + "\nline " + std::to_string(i) + "\n.ENDS\n";
    return text;
}

}  // namespace

class TextEditorWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteSurvivesLoadAndSave();
    void typedCharactersAreStoredAsTheirByte();
    void contractMatchesMemoryScriptText();
    void searchScrollsOnlyWhenNotQuiet();
    void typingKeepsCaretAndViewWhileTheReceiversRun();
    void resizeRerunsAndKeepsTheCaret();
    void shiftDeleteIsSwallowed();
    void stayOnTopKeepsTheWindowShown();
};

void TextEditorWindowTest::everyByteSurvivesLoadAndSave() {
    const corv::testing::TempFolder folder;
    const std::string original = everyByteFile();
    writeBytes(folder.path() / "in.txt", original);

    TextEditorWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("TxtForm"));
    QCOMPARE(Named<ScriptMemo>(window, "TDMemo")->objectName(), QStringLiteral("TDMemo"));
    QVERIFY(loadScript(window, folder.path() / "in.txt"));
    QVERIFY(!window.script().modified());
    // In the script text the CR LF is one '\n'; every other byte is itself.
    std::string expectedText = original;
    expectedText.erase(expectedText.find("\r\n"), 1);
    QCOMPARE(qtBytes(window.script().text()), qtBytes(expectedText));
    QCOMPARE(window.script().lineCount(), 2);
    QCOMPARE(qtBytes(window.script().line(1)), qtBytes(expectedText.substr(expectedText.find('\n') + 1)));

    QVERIFY(saveScript(window, folder.path() / "out.txt"));
    QCOMPARE(qtBytes(readBytes(folder.path() / "out.txt")), qtBytes(original));
}

void TextEditorWindowTest::typedCharactersAreStoredAsTheirByte() {
    const corv::testing::TempFolder folder;
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Named<ScriptMemo>(window, "TDMemo")->setFocus();
    typeText(Named<ScriptMemo>(window, "TDMemo"), QStringLiteral("caf\u00e9 \u20acx\u3042\u00ff"));
    // The euro sign and the kana have no byte and are kept out.
    QCOMPARE(qtBytes(window.script().text()), QByteArray("caf\xe9 x\xff"));
    QVERIFY(window.script().modified());
    QApplication::clipboard()->setText(QStringLiteral("\u00e0\u2019!"));
    Named<ScriptMemo>(window, "TDMemo")->paste();
    QCOMPARE(qtBytes(window.script().text()), QByteArray("caf\xe9 x\xff\xe0!"));
    QVERIFY(saveScript(window, folder.path() / "typed.txt"));
    QCOMPARE(qtBytes(readBytes(folder.path() / "typed.txt")), QByteArray("caf\xe9 x\xff\xe0!"));
    QVERIFY(!window.script().modified());
}

void TextEditorWindowTest::contractMatchesMemoryScriptText() {
    const std::string text = std::string(".STRING 0\nA\xe9\xa0\n\n.ENDS\n.string 1\r2\nlast");
    TextEditorWindow window;
    script::ScriptText& widget = window.script();
    script::MemoryScriptText memory;
    for (script::ScriptText* script : {&widget, static_cast<script::ScriptText*>(&memory)}) {
        script->setModified(true);
        script->setText(text);
    }
    QCOMPARE(widget.modified(), memory.modified());  // setText leaves the flag alone
    QCOMPARE(qtBytes(widget.text()), qtBytes(memory.text()));
    QCOMPARE(widget.lineCount(), memory.lineCount());
    for (int i = -1; i <= memory.lineCount(); ++i) QCOMPARE(qtBytes(widget.line(i)), qtBytes(memory.line(i)));
    for (size_t position = 0; position <= text.size() + 3; ++position) {
        QCOMPARE(widget.lineOfPosition(position), memory.lineOfPosition(position));
    }
    for (const size_t caret : {size_t{0}, size_t{13}, text.size(), text.size() + 10}) {
        widget.setCaret(caret);
        memory.setCaret(caret);
        QCOMPARE(widget.selectionStart(), memory.selectionStart());
        QCOMPARE(widget.selectionLength(), memory.selectionLength());
    }
    // The search as the string choice and the insertion run it.
    for (const char* needle : {".STRING 1", ".ends", "\xe9\xa0", "missing"}) {
        const auto fromWidget = script::FindInScript(widget, needle, true);
        const auto fromMemory = script::FindInScript(memory, needle, true);
        QCOMPARE(fromWidget.has_value(), fromMemory.has_value());
        if (fromMemory) QCOMPARE(*fromWidget, *fromMemory);
        QCOMPARE(widget.selectionStart(), memory.selectionStart());
    }
    const auto entry = script::LookupEntry(widget, 0);
    QVERIFY(entry.has_value());
    QCOMPARE(*entry, *script::LookupEntry(memory, 0));
    widget.setModified(false);
    QVERIFY(!widget.modified());
}

void TextEditorWindowTest::searchScrollsOnlyWhenNotQuiet() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    script::ScriptText& script = window.script();
    script.setText(numberedLines(200));
    QCOMPARE(script.firstVisibleLine(), 0);

    QCOMPARE(script::FindInScript(script, ".STRING 150", true), std::optional<int>(450));
    QCOMPARE(script.firstVisibleLine(), 0);  // the caret moved, the view did not
    QCOMPARE(script.selectionStart(), script.text().find(".STRING 150"));

    script.setCaret(0);
    QCOMPARE(script::FindInScript(script, ".STRING 50", false), std::optional<int>(150));
    QCOMPARE(script.firstVisibleLine(), 150);
    script.scrollLines(-40);
    QCOMPARE(script.firstVisibleLine(), 110);
    script.scrollLines(-1000);
    QCOMPARE(script.firstVisibleLine(), 0);
}

void TextEditorWindowTest::typingKeepsCaretAndViewWhileTheReceiversRun() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    script::ScriptText& script = window.script();
    const size_t typingAt = numberedLines(200).find("line 100");

    // The main window's receiver: the string choice's search, which finds another entry and,
    // after typing, moves neither caret nor view.
    int runs = 0;
    std::optional<int> matchSeen;
    QObject::connect(&window, &TextEditorWindow::scriptChanged, &window, [&] {
        ++runs;
        const auto match =
            script::FindInText(script.text(), script.selectionStart(), script.selectionLength(), ".STRING 3");
        if (match) matchSeen = match->line;
    });
    script.setText("a load is no change");
    QCOMPARE(runs, 0);
    script.setText(numberedLines(200));
    script.setCaret(typingAt);
    const int view = 290;  // the caret's line stays in sight, so typing itself does not scroll
    script.scrollLines(view);
    QCOMPARE(script.firstVisibleLine(), view);
    Named<ScriptMemo>(window, "TDMemo")->setFocus();
    QTest::keyClicks(Named<ScriptMemo>(window, "TDMemo"), QStringLiteral("XY"));
    QCOMPARE(runs, 2);
    QCOMPARE(matchSeen, std::optional<int>(9));
    QCOMPARE(script.selectionStart(), typingAt + 2);
    QCOMPARE(script.firstVisibleLine(), view);
    QVERIFY(script.modified());
    QCOMPARE(qtBytes(script.line(301)), QByteArray("XYline 100"));

    QTest::keyClick(Named<ScriptMemo>(window, "TDMemo"), Qt::Key_Backspace);
    QCOMPARE(runs, 3);
    QCOMPARE(script.selectionStart(), typingAt + 1);
    QCOMPARE(script.firstVisibleLine(), view);
}

void TextEditorWindowTest::resizeRerunsAndKeepsTheCaret() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    script::ScriptText& script = window.script();
    script.setText(numberedLines(100));
    const size_t caret = script.text().find("line 7");
    script.setCaret(caret);
    int runs = 0;
    QObject::connect(&window, &TextEditorWindow::resized, &window, [&] {
        ++runs;
        // The string choice's search, and what a resize lets it move: the view, not the caret.
        const auto match =
            script::FindInText(script.text(), script.selectionStart(), script.selectionLength(), ".STRING 60");
        if (match) script.scrollLines(match->line - script.firstVisibleLine());
    });
    window.resize(400, 300);
    QTRY_COMPARE(runs, 1);
    QCOMPARE(script.selectionStart(), caret);
    QCOMPARE(script.firstVisibleLine(), 180);  // where the search put the view
}

void TextEditorWindowTest::shiftDeleteIsSwallowed() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.script().setText("abcdef");
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    QTextCursor selection = Named<ScriptMemo>(window, "TDMemo")->textCursor();
    selection.setPosition(1);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    Named<ScriptMemo>(window, "TDMemo")->setTextCursor(selection);
    Named<ScriptMemo>(window, "TDMemo")->setFocus();

    QTest::keyClick(Named<ScriptMemo>(window, "TDMemo"), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(qtBytes(window.script().text()), QByteArray("abcdef"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));
    QVERIFY(!window.script().modified());

    QTest::keyClick(Named<ScriptMemo>(window, "TDMemo"), Qt::Key_Delete);
    QCOMPARE(qtBytes(window.script().text()), QByteArray("aef"));
}

void TextEditorWindowTest::stayOnTopKeepsTheWindowShown() {
    TextEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setStayOnTop(true);
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.windowFlags().testFlag(Qt::Tool));
    QVERIFY(window.isVisible());
    window.hide();
    window.setStayOnTop(true);
    QVERIFY(!window.isVisible());  // a hidden window is not shown by the switch
}

}  // namespace corv::editor

QTEST_MAIN(corv::editor::TextEditorWindowTest)
#include "text_editor_window_test.moc"
