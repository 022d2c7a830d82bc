#pragma once
// The Current Kana Dump window (objectName "viewKana"): the kana dump of the current block on
// screen, in its editor "kanaMemo". The user may edit the text; nothing reads it back.
//
// Wiring, for the main window: "&View Kana Dump" calls viewDump() with the current block and the
// Kana Text window's lineWrap(); it does nothing without a ROM.

#include <QWidget>

#include "editor/logic/kana_dump_command.h"

class QPlainTextEdit;

namespace corv::editor {

class KanaDumpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit KanaDumpWindow(QWidget* parent = nullptr);

    // Shows the window with the dump of `source`, kana lines cut by `wrap`.
    void viewDump(const KanaDumpSource& source, const KanaLineWrap& wrap);

private:
    QPlainTextEdit* dumpText_ = nullptr;  // kanaMemo
};

}  // namespace corv::editor
