// The Ctrl keys in every window, opened on a ROM and on a translation project: the menu's items
// wherever they are pressed, but for the text-editing keys, which in a project edit the text that
// has the focus; Ctrl+Y redoes in both modes. Real key presses show that the text keys change no
// file and that the other windows still run the commands.

#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>

#include <map>

#include "editor/ui/key_dispatcher.h"
#include "editor/ui/problems_window.h"
#include "editor/ui/main_window_fixture.h"
#include "editor/ui/project_fixture.h"

namespace corv::editor {

using corv::testing::Named;
using testing::EditorFixture;
using testing::ReadBytes;
namespace fs = std::filesystem;

namespace {

// The menu's Ctrl keys and the item each runs, the first in menu order where two share one.
const std::map<QString, QString>& MenuKeys() {
    static const std::map<QString, QString> keys = {
        {"Ctrl+O", "OpenBinaryTextData1"},  {"Ctrl+F", "LoadDataFile"},     {"Ctrl+Shift+O", "OpenProject1"},
        {"Ctrl+S", "SaveTextFile1"},        {"Ctrl+A", "SaveRomFile1"},     {"Ctrl+I", "Insert1"},
        {"Ctrl+R", "BuildProject1"},        {"Ctrl+P", "PATCHRomFile1"},    {"Ctrl+T", "LoadTableFile1"},
        {"Ctrl+C", "InsertCOMPRESSIONintoROM1"}, {"Ctrl+G", "GoToString1"}, {"Ctrl+Shift+F", "FindText1"},
        {"Ctrl+Shift+H", "ReplaceText1"},   {"Ctrl+D", "DTT"},              {"Ctrl+X", "ViewHexData1"},
        {"Ctrl+K", "DisplayKanaTextDump1"}, {"Ctrl+B", "DecompresstoFiles1"}, {"Ctrl+H", "HideCodes"},
        {"Ctrl+U", "UseVWFRoutine1"},       {"Ctrl+E", "ShowProblems1"},    {"Ctrl+M", "DumpMemory1"},
        {"Ctrl+N", "DumpKanatoafile1"},     {"Ctrl+V", "ViewKanaDump1"},    {"Ctrl+W", "DefaultWindowSize1"},
    };
    return keys;
}

const QStringList kTextKeys = {"Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+A", "Ctrl+Z", "Ctrl+Y", "Ctrl+Shift+Z"};

// Every Ctrl and Ctrl+Shift letter.
QStringList EveryControlKey() {
    QStringList keys;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        keys << QStringLiteral("Ctrl+") + QChar::fromLatin1(letter);
        keys << QStringLiteral("Ctrl+Shift+") + QChar::fromLatin1(letter);
    }
    return keys;
}

// Where a key can be pressed: each window's widgets that take the keyboard focus.
std::vector<QWidget*> KeyTargets(MainWindow& form) {
    return {&form,
            Named<QWidget>(form, "Video"),
            Named<QWidget>(form, "TDMemo"),
            Named<QWidget>(form, "HexForm"),
            Named<QWidget>(form, "KanaForm"),
            Named<QWidget>(form, "kanaEdit"),
            Named<QWidget>(form, "bList"),
            Named<QWidget>(form, "pList"),
            Named<QWidget>(form, "InsertForm"),
            Named<QWidget>(form, "ListBox1"),
            Named<QWidget>(form, "viewKana"),
            Named<QWidget>(form, "kanaMemo"),
            Named<QWidget>(form, "ProblemsForm"),
            Named<QWidget>(form, "ProblemList")};
}

QString NameOf(const QAction* action) { return action ? action->objectName() : QStringLiteral("(text)"); }

void CheckMatrix(MainWindow& form, bool project) {
    for (QWidget* target : KeyTargets(form)) {
        const bool editsText = project && target->objectName() == QStringLiteral("TDMemo");
        for (const QString& key : EveryControlKey()) {
            const auto listed = MenuKeys().find(key);
            QString expected = listed == MenuKeys().end() ? QStringLiteral("(text)") : listed->second;
            if (editsText && kTextKeys.contains(key)) expected = QStringLiteral("(text)");
            const QString got = NameOf(form.keys().actionFor(QKeySequence(key), target));
            if (got != expected) {
                QFAIL(qPrintable(QStringLiteral("%1 in %2 (%3): %4, expected %5")
                                     .arg(key, target->objectName(), project ? "project" : "ROM", got, expected)));
            }
        }
    }
}

// Counts the items of the whole menu that run.
class MenuSpy {
public:
    explicit MenuSpy(MainWindow& form) {
        for (QAction* action : form.menuBar()->findChildren<QAction*>()) {
            QObject::connect(action, &QAction::triggered, [this, action] { ran_ << action->objectName(); });
        }
    }
    [[nodiscard]] const QStringList& ran() const { return ran_; }
    void clear() { ran_.clear(); }

private:
    QStringList ran_;
};

void OpenProject(EditorFixture& f) {
    QVERIFY(testing::OpenTranslatedProject(f));
    QCOMPARE(f.form->keys().mode(), EditorMode::Project);
}

void Press(QWidget* target, const char* key) {
    const QKeySequence sequence(QString::fromLatin1(key));
    QTest::keySequence(target, sequence);
}

}  // namespace

class TextKeysTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlKeyInEveryWindowOnARom() {
        EditorFixture f;
        f.open();
        QCOMPARE(f.form->keys().mode(), EditorMode::Rom);
        CheckMatrix(*f.form, false);
    }

    void everyControlKeyInEveryWindowInAProject() {
        EditorFixture f;
        OpenProject(f);
        CheckMatrix(*f.form, true);
        // Leaving the project for a ROM gives the keys back to the menu.
        f.open();
        QVERIFY(!f.form->project().has_value());
        CheckMatrix(*f.form, false);
    }

    void inAProjectTheTextKeysEditTheScriptAndWriteNothing() {
        EditorFixture f;
        OpenProject(f);
        MenuSpy spy(*f.form);
        const fs::path script = testing::ScriptOf(f, EditorFixture::textBlock(0));
        const std::vector<uint8_t> scriptBytes = ReadBytes(script);
        const std::vector<uint8_t> original = ReadBytes(f.file(demo::kRomFileName));
        ScriptMemo* memo = f.memo();
        memo->setFocus();
        const QString before = memo->toPlainText();

        // Select the first line, copy it, paste it at the end.
        f.caretToLine(0);
        memo->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        const QString firstLine = memo->textCursor().selectedText();
        QVERIFY(!firstLine.isEmpty());
        Press(memo, "Ctrl+C");
        QCOMPARE(QApplication::clipboard()->text(), firstLine);
        memo->moveCursor(QTextCursor::End);
        Press(memo, "Ctrl+V");
        QCOMPARE(memo->toPlainText(), before + firstLine);

        Press(memo, "Ctrl+Z");
        QCOMPARE(memo->toPlainText(), before);
        Press(memo, "Ctrl+Y");
        QCOMPARE(memo->toPlainText(), before + firstLine);
        Press(memo, "Ctrl+Z");
        Press(memo, "Ctrl+Shift+Z");
        QCOMPARE(memo->toPlainText(), before + firstLine);

        Press(memo, "Ctrl+A");
        QCOMPARE(memo->textCursor().selectedText().size(), memo->toPlainText().size());
        Press(memo, "Ctrl+X");
        QVERIFY(memo->toPlainText().isEmpty());
        QCOMPARE(QApplication::clipboard()->text().size(), (before + firstLine).size());
        Press(memo, "Ctrl+Z");
        QCOMPARE(memo->toPlainText(), before + firstLine);

        QVERIFY2(spy.ran().isEmpty(), qPrintable(spy.ran().join(' ')));
        QVERIFY(f.dialogs.calls().empty());
        QVERIFY(!fs::exists(f.folder() / "build"));
        QVERIFY(ReadBytes(script) == scriptBytes);
        QVERIFY(ReadBytes(f.file(demo::kRomFileName)) == original);

        // Ctrl+S in the script still saves it.
        Press(memo, "Ctrl+S");
        QCOMPARE(spy.ran(), QStringList{QStringLiteral("SaveTextFile1")});
        QVERIFY(ReadBytes(script) != scriptBytes);
    }

    void inAProjectTheOtherWindowsRunTheCommands() {
        EditorFixture f;
        OpenProject(f);
        MenuSpy spy(*f.form);
        Named<QWidget>(*f.form, "viewKana")->show();
        for (QWidget* target : KeyTargets(*f.form)) {
            if (target->objectName() == QStringLiteral("TDMemo")) continue;
            spy.clear();
            Press(target, "Ctrl+C");
            Press(target, "Ctrl+X");
            Press(target, "Ctrl+V");
            QCOMPARE(spy.ran(), (QStringList{"InsertCOMPRESSIONintoROM1", "ViewHexData1", "ViewKanaDump1"}));
        }
    }

    void onARomTheTextEditorsKeysRunTheMenuButCtrlYRedoes() {
        EditorFixture f;
        f.open();
        MenuSpy spy(*f.form);
        ScriptMemo* memo = f.memo();
        memo->setFocus();
        const QString before = memo->toPlainText();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, QStringLiteral("abc"));
        Press(memo, "Ctrl+Z");
        QCOMPARE(memo->toPlainText(), before);
        Press(memo, "Ctrl+Y");
        QCOMPARE(memo->toPlainText(), before + "abc");
        QVERIFY(spy.ran().isEmpty());
        Press(memo, "Ctrl+C");
        QCOMPARE(spy.ran(), QStringList{QStringLiteral("InsertCOMPRESSIONintoROM1")});
    }

    void aModalQuestionsFieldTakesEveryTextKeyInBothModes() {
        for (const bool project : {false, true}) {
            EditorFixture f;
            if (project) {
                OpenProject(f);
            } else {
                f.open();
            }
            MenuSpy spy(*f.form);
            QInputDialog dialog(f.form.get());
            dialog.setLabelText(QStringLiteral("Find:"));
            dialog.setModal(true);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* field = dialog.findChild<QLineEdit*>();
            QVERIFY(field);
            field->setFocus();
            field->insert(QStringLiteral("Gr\u00FC\u00DF"));
            Press(field, "Ctrl+A");
            Press(field, "Ctrl+C");
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Gr\u00FC\u00DF"));
            Press(field, "Ctrl+X");
            QVERIFY(field->text().isEmpty());
            Press(field, "Ctrl+Z");
            QCOMPARE(field->text(), QStringLiteral("Gr\u00FC\u00DF"));
            Press(field, "Ctrl+Y");
            QVERIFY(field->text().isEmpty());
            Press(field, "Ctrl+V");
            Press(field, "Ctrl+V");
            QCOMPARE(field->text(), QStringLiteral("Gr\u00FC\u00DFGr\u00FC\u00DF"));
            QVERIFY(spy.ran().isEmpty());
            dialog.reject();
        }
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::TextKeysTest)
#include "text_keys_test.moc"
