// The wrap commands in the real editor on the demo game, with their keys pressed in the Text
// Editor: Wrap Block to Box gives the bytes corvtool wrap writes and is one undo step, Wrap
// String to Box takes the caret's entry only, and Wrap While Typing breaks the line being typed
// with the caret staying after the word.

#include <QMenu>

#include <sstream>

#include "check/box_wrap.h"
#include "editor/ui/main_window_fixture.h"
#include "script/script_file.h"
#include "tools/corvtool/commands.h"

namespace corv::editor {

using testing::EditorFixture;
using corv::testing::Named;

class WrapCommandsTest : public QObject {
    Q_OBJECT

    static std::string text(EditorFixture& f) { return Named<TextEditorWindow>(*f.form, "TxtForm")->script().text(); }

    static void pasteScript(EditorFixture& f, const std::string& script) {
        f.memo()->selectAll();
        f.memo()->insertPlainText(QString::fromLatin1(script.data(), qsizetype(script.size())));
    }

    static std::string paragraph(size_t words, size_t first = 0) {
        static const char* const kWords[] = {"The", "dragon", "sleeps", "in", "the", "old", "tower,", "and", "you",
                                             "must", "wake", "[Player]", "before", "the", "king", "returns."};
        std::string text;
        for (size_t k = 0; k < words; ++k) text += std::string(k ? " " : "") + kWords[(first + k) % std::size(kWords)];
        return text;
    }

    // A script of long paragraphs for the first strings of the current block.
    static std::string longScript() {
        std::string script;
        for (unsigned n = 0; n < 6; ++n) {
            script += ".STRING " + std::to_string(n) + "\n" + paragraph(12 + 9 * n, n) + "[Key]\n.ENDS\n\n";
        }
        return script;
    }

    static std::string address(EditorFixture& f) {
        char text[16];
        std::snprintf(text, sizeof text, "%X", unsigned(f.form->session().index().currentBlockAddress()));
        return text;
    }

private slots:
    void wrapBlockGivesTheBytesOfCorvtoolWrapInOneUndoStep() {
        EditorFixture f;
        f.open();
        pasteScript(f, longScript());
        const std::string pasted = text(f);
        f.memo()->setFocus();
        QTest::keyClick(f.memo(), Qt::Key_F8, Qt::ShiftModifier);
        QVERIFY(text(f) != pasted);

        const std::filesystem::path scriptFile = f.folder() / "wrap_by_corvtool.txt";
        QVERIFY(script::SaveScriptFile(scriptFile, pasted));
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(tool::RunCorvtool({"wrap", f.file(demo::kRomFileName).string(), f.file(demo::kBlockDataFileName).string(),
                                    address(f), scriptFile.string()},
                                   out, err),
                 0);
        const std::vector<uint8_t> byCorvtool = testing::ReadBytes(scriptFile);
        const std::string editorBytes = script::ScriptFileBytes(text(f));
        QCOMPARE(std::string(byCorvtool.begin(), byCorvtool.end()), editorBytes);

        // A second wrap changes nothing; one undo gives the pasted text back.
        QTest::keyClick(f.memo(), Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(script::ScriptFileBytes(text(f)), editorBytes);
        QTest::keyClick(f.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(f), pasted);
    }

    void wrapStringTakesTheEntryTheCaretIsIn() {
        EditorFixture f;
        f.open();
        pasteScript(f, longScript());
        const std::string pasted = text(f);
        QTextCursor cursor = f.memo()->textCursor();
        cursor.setPosition(int(pasted.find(".STRING 2") + 12));
        f.memo()->setTextCursor(cursor);
        f.memo()->setFocus();
        QTest::keyClick(f.memo(), Qt::Key_F8);
        const std::string after = text(f);
        // Everything before string 2's entry and from string 3's on is as it was.
        const size_t second = pasted.find(".STRING 2");
        const size_t third = pasted.find(".STRING 3");
        QCOMPARE(after.substr(0, second), pasted.substr(0, second));
        QCOMPARE(after.substr(after.find(".STRING 3")), pasted.substr(third));
        // The entry has more lines now (a break takes the place of its space).
        const auto lines = [](std::string_view entry) { return std::count(entry.begin(), entry.end(), '\n'); };
        const std::string_view entry = std::string_view(after).substr(second, after.find(".STRING 3") - second);
        QVERIFY2(lines(entry) > lines(std::string_view(pasted).substr(second, third - second)), after.c_str());
    }

    void wrapWhileTypingBreaksTheLineAndKeepsTheCaretAfterTheWord() {
        EditorFixture f;
        f.open();
        pasteScript(f, ".STRING 0\n" + paragraph(5) + "\n.ENDS\n");
        QAction* typing = Named<QAction>(*f.form, "WrapWhileTyping1");
        QVERIFY(!typing->isChecked());
        typing->trigger();
        QTextCursor cursor = f.memo()->textCursor();
        cursor.setPosition(int(text(f).find("\n.ENDS")));
        f.memo()->setTextCursor(cursor);
        f.memo()->setFocus();
        QTest::keyClicks(f.memo(), QStringLiteral(" but the north wind blows over the wide sea"));
        const std::string typed = text(f);
        QCOMPARE(typed.substr(0, 10), std::string(".STRING 0\n"));
        // The typed text went on to a second line, and the caret is still after the last word.
        const std::string lines = typed.substr(10, typed.find("\n.ENDS") - 10);
        QVERIFY2(lines.find('\n') != std::string::npos, lines.c_str());
        QCOMPARE(size_t(f.memo()->textCursor().position()), typed.find("wide sea") + 8);
        check::BoxMetrics box;
        box.variableWidth = f.form->session().settings().variableWidth;
        check::BoxWrapper wrapper(box, {});
        std::istringstream rows(lines);
        for (std::string row; std::getline(rows, row);) QVERIFY2(wrapper.width(row) <= box.width, row.c_str());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::WrapCommandsTest)
#include "wrap_commands_test.moc"
