#pragma once
// Find and Replace in the Text Editor, as Edit menu items run by the application-wide key
// dispatcher like every other item: Find in Script... (Ctrl+Shift+F), Find Next (F6), Replace in
// Script... (Ctrl+Shift+H), Replace (F7: the match the caret holds, then the next one) and
// Replace All (Shift+F7: one edit, undone in one step). Matches ignore case (ASCII and Latin-1); the search runs from
// the caret and then once more from the top (editor/logic/script_search.h).

#include <QObject>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::editor {

class TextEditorWindow;

class ScriptSearchCommands final : public QObject {
    Q_OBJECT
public:
    // Adds the items to `editMenu`; `editor` and `dialogs` must outlive them.
    ScriptSearchCommands(QMenu* editMenu, TextEditorWindow* editor, dialogs::Dialogs& dialogs, QObject* parent);

    // The items that change the script: while an insertion reads it they must wait.
    [[nodiscard]] std::vector<QAction*> changingTheScript() const {
        return {items_.replaceText, items_.replaceNext, items_.replaceAll};
    }

private:
    // The menu items, each created with its objectName (in the comment), by which the tests find it.
    struct Items {
        QAction* findText = nullptr;     // FindText1
        QAction* findNext = nullptr;     // FindNext1
        QAction* replaceText = nullptr;  // ReplaceText1
        QAction* replaceNext = nullptr;  // ReplaceNext1
        QAction* replaceAll = nullptr;   // ReplaceAll1
    };

    bool askFind();
    bool askReplacement();
    // Selects the next match from the caret; false (after saying so) when there is none.
    bool selectNext();
    void replaceNext();
    void replaceAll();
    void notFound();

    Items items_;
    TextEditorWindow* editor_;
    dialogs::Dialogs& dialogs_;
    std::string findText_;     // as typed (UTF-8), for the messages
    std::optional<std::string> findBytes_;  // as script bytes; std::nullopt: matches nothing
    std::string replacement_;  // as script bytes
    bool replacementGiven_ = false;
};

}  // namespace corv::editor
