// Find and Replace in the real Text Editor, with the keys pressed in it: the key dispatcher runs
// them like every other menu key; Replace changes only the match the caret holds; Replace All is
// one change (the live checks and the preview follow it once) and one undo step.

#include <QMenuBar>

#include <map>

#include "editor/ui/live_check_wiring.h"
#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using testing::Messages;
using corv::testing::Named;

class ScriptFindReplaceTest : public QObject {
    Q_OBJECT

    static std::string text(EditorFixture& f) { return Named<TextEditorWindow>(*f.form, "TxtForm")->script().text(); }

    static void collectShortcuts(const QList<QAction*>& actions, std::multimap<QString, QString>& out) {
        for (QAction* action : actions) {
            if (action->menu() != nullptr) {
                collectShortcuts(action->menu()->actions(), out);
            } else if (!action->shortcut().isEmpty()) {
                out.emplace(action->shortcut().toString(), action->objectName());
            }
        }
    }

private slots:
    void everyMenuKeyRunsOneItemOnly() {
        EditorFixture f;
        std::multimap<QString, QString> keys;
        collectShortcuts(f.form->menuBar()->actions(), keys);
        QStringList shared;
        for (const auto& [key, name] : keys) {
            if (keys.count(key) > 1) shared << key + QLatin1Char(' ') + name;
        }
        // Only the two items that share Ctrl+T from the start (the first in menu order runs).
        QCOMPARE(shared,
                 (QStringList{QStringLiteral("Ctrl+T LoadTableFile1"), QStringLiteral("Ctrl+T DisplayTextEditor1")}));
        QCOMPARE(keys.count(QStringLiteral("Ctrl+Shift+H")), size_t(1));
    }

    void replaceTakesTheMatchTheCaretHoldsAndReplaceAllIsOneUndoStep() {
        EditorFixture f;
        f.open();
        f.caretToLine(6);
        QTest::keyClicks(f.memo(), QStringLiteral("Hello there, hello"));
        f.caretToLine(6);
        const std::string typed = text(f);
        ScriptMemo* memo = f.memo();

        // Ctrl+Shift+H in the Text Editor: what to find and what to put instead, then the first match.
        f.dialogs.replyText(std::string("HELLO"));
        f.dialogs.replyText(std::string("Bye"));
        QTest::keyClick(memo, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(memo->textCursor().selectedText(), QStringLiteral("Hello"));
        QCOMPARE(text(f), typed);

        // F7 replaces it and goes on to the next one.
        QTest::keyClick(memo, Qt::Key_F7);
        QCOMPARE(memo->textCursor().selectedText(), QStringLiteral("hello"));
        std::string once = typed;
        once.replace(once.find("Hello there"), 5, "Bye");
        QCOMPARE(text(f), once);

        // With the caret elsewhere, F7 only shows the next match.
        QTextCursor elsewhere = memo->textCursor();
        elsewhere.setPosition(0);
        memo->setTextCursor(elsewhere);
        QTest::keyClick(memo, Qt::Key_F7);
        QCOMPARE(text(f), once);
        QCOMPARE(memo->textCursor().selectedText(), QStringLiteral("hello"));

        // Shift+F7: every match at once, and the live checks follow the one change.
        QTest::keyClick(memo, Qt::Key_F7, Qt::ShiftModifier);
        std::string all = once;
        all.replace(all.find("hello"), 5, "Bye");
        QCOMPARE(text(f), all);
        QCOMPARE(f.form->liveChecks().checks().text(), all);
        QCOMPARE(Messages(f.dialogs).last(), QStringLiteral("Replaced 1 occurrence(s) of \"HELLO\"."));
        memo->undo();
        QCOMPARE(text(f), once);
        QCOMPARE(f.form->liveChecks().checks().text(), once);

        // Nothing left to replace: said, and nothing changes.
        QTest::keyClick(memo, Qt::Key_F7, Qt::ShiftModifier);
        QTest::keyClick(memo, Qt::Key_F7, Qt::ShiftModifier);
        QCOMPARE(text(f), all);
        QCOMPARE(Messages(f.dialogs).last(), QStringLiteral("\"HELLO\" was not found in the script."));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void accentedWordsAreFoundAndReplacedIgnoringCase() {
        EditorFixture f;
        f.open();
        f.caretToLine(6);
        // Latin-1 in the script; the questions answer in UTF-8, as Qt's dialogs give them.
        f.memo()->insertPlainText(QStringLiteral("Gr\u00FC\u00DF dich, Se\u00F1or!\nCaf\u00E9 for Jos\u00E9.\n"));
        const auto find = [&](const char* utf8) {
            f.caretToLine(0);
            f.dialogs.replyText(std::string(utf8));
            QTest::keyClick(f.memo(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
            return f.memo()->textCursor().selectedText();
        };
        QCOMPARE(find("Gr\u00FC\u00DF"), QStringLiteral("Gr\u00FC\u00DF"));
        QCOMPARE(find("se\u00F1or"), QStringLiteral("Se\u00F1or"));
        QCOMPARE(find("SE\u00D1OR"), QStringLiteral("Se\u00F1or"));
        QCOMPARE(find("Jos\u00E9"), QStringLiteral("Jos\u00E9"));
        QCOMPARE(find("JOS\u00C9"), QStringLiteral("Jos\u00E9"));
        QVERIFY(Messages(f.dialogs).isEmpty());
        // A character no script byte holds matches nothing (and is not taken for '?').
        f.memo()->moveCursor(QTextCursor::End);
        f.memo()->insertPlainText(QStringLiteral("?"));
        find("\u20AC");
        QCOMPARE(Messages(f.dialogs).last(), QStringLiteral("\"\u20AC\" was not found in the script."));

        // Replace with F7, then Replace All with Shift+F7.
        f.caretToLine(0);
        f.dialogs.replyText(std::string("GR\u00DC\u00DF"));
        f.dialogs.replyText(std::string("Hall\u00F6"));
        QTest::keyClick(f.memo(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(f.memo(), Qt::Key_F7);
        QVERIFY(text(f).find("Hall\xF6 dich, Se\xF1or!") != std::string::npos);
        f.dialogs.replyText(std::string("jos\u00C9"));
        f.dialogs.replyText(std::string("Jos\u00E9 Mar\u00EDa"));
        QTest::keyClick(f.memo(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(f.memo(), Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(text(f).find("Caf\xE9 for Jos\xE9 Mar\xED" "a.") != std::string::npos);
        QCOMPARE(Messages(f.dialogs).last(), QStringLiteral("Replaced 1 occurrence(s) of \"jos\u00C9\"."));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void findAndReplaceAllWithManyMatches() {
        EditorFixture f;
        f.open();
        const std::string before = text(f);
        const auto count = [](const std::string& in, const std::string& what) {
            size_t n = 0;
            for (size_t at = in.find(what); at != std::string::npos; at = in.find(what, at + 1)) ++n;
            return n;
        };
        const size_t entries = count(before, ".ENDS");
        QVERIFY(entries > 10);
        // Shift+F7 before any search asks both texts first.
        f.dialogs.replyText(std::string(".ends"));
        f.dialogs.replyText(std::string(".ENDS"));
        QTest::keyClick(f.memo(), Qt::Key_F7, Qt::ShiftModifier);
        QCOMPARE(text(f), before);  // the same letters in the same case
        QCOMPARE(Messages(f.dialogs).last(), QStringLiteral("Replaced %1 occurrence(s) of \".ends\".").arg(entries));
        // Ctrl+Shift+F then F6 find from the caret, ignoring case, round past the end.
        f.dialogs.replyText(std::string(".string 1"));
        QTest::keyClick(f.memo(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.memo()->textCursor().selectedText(), QStringLiteral(".STRING 1"));
        const int first = f.memo()->textCursor().selectionStart();
        QTest::keyClick(f.memo(), Qt::Key_F6);
        QCOMPARE(f.memo()->textCursor().selectedText(), QStringLiteral(".STRING 1"));  // of ".STRING 10"
        QVERIFY(f.memo()->textCursor().selectionStart() > first);
        for (int k = 0; k < 40 && f.memo()->textCursor().selectionStart() != first; ++k) {
            QTest::keyClick(f.memo(), Qt::Key_F6);
        }
        QCOMPARE(f.memo()->textCursor().selectionStart(), first);
        QVERIFY(f.dialogs.unexpected().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::ScriptFindReplaceTest)
#include "script_find_replace_test.moc"
