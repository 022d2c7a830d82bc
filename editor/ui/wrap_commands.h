#pragma once
// Wrapping the script to the box from the editor: Edit > Wrap String to Box (F8) wraps the entry
// the caret is in, Edit > Wrap Block to Box (Shift+F8) every entry of the block, each one edit and
// one undo step, run by the key dispatcher like every other item. View > Wrap While Typing wraps
// the entry being typed after each change, in the same undo step as the keys that made it, with
// the caret kept in its word. The wrap is corvtool wrap's (editor/logic/entry_wrap.h), with the
// box of the moment and the project's [wrap] table.

#include <QObject>

#include <functional>
#include <optional>
#include <vector>

#include "check/box_wrap.h"

class QAction;
class QMenu;

namespace corv::editor {

class TextEditorWindow;
struct WrapEdit;

class WrapCommands final : public QObject {
    Q_OBJECT
public:
    // The box the current block is drawn in and the wrap options of the open project.
    using WrapperSource = std::function<check::BoxWrapper()>;

    // Adds the items to `editMenu` and `viewMenu`; `editor` must outlive them.
    WrapCommands(QMenu* editMenu, QMenu* viewMenu, TextEditorWindow* editor, WrapperSource wrapper, QObject* parent);

    // The items that change the script: while an insertion reads it they must wait.
    [[nodiscard]] std::vector<QAction*> changingTheScript() const { return {items_.wrapString, items_.wrapBlock}; }
    // View > Wrap While Typing, which a project's [editor] table keeps.
    [[nodiscard]] bool wrapsWhileTyping() const;
    void setWrapWhileTyping(bool on);

private:
    // The menu items, each created with its objectName (in the comment), by which the tests find it.
    struct Items {
        QAction* wrapString = nullptr;       // WrapString1
        QAction* wrapBlock = nullptr;        // WrapBlock1
        QAction* wrapWhileTyping = nullptr;  // WrapWhileTyping1
    };

    void wrapString();
    void wrapBlock();
    void typed();
    // Makes `edit` one edit of the Text Editor, or part of the edit before it with `joinPrevious`.
    void apply(const std::optional<WrapEdit>& edit, bool joinPrevious);

    Items items_;
    TextEditorWindow* editor_;
    WrapperSource wrapper_;
};

}  // namespace corv::editor
