#include "editor/ui/kana_dump_window.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "editor/ui/companion_window.h"
#include "editor/ui/kana_text_window.h"

namespace corv::editor {

KanaDumpWindow::KanaDumpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("viewKana"));
    setWindowTitle(QStringLiteral("Current Kana Dump"));
    SetOuterSizeCentred(this, {402, 337});

    kanaMemo = new QPlainTextEdit(this);
    kanaMemo->setObjectName(QStringLiteral("kanaMemo"));
    kanaMemo->setFont(KanaFont());
    kanaMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    kanaMemo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    kanaMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    kanaMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(kanaMemo);
}

void KanaDumpWindow::viewDump(const KanaDumpSource& source, const KanaLineWrap& wrap) {
    if (!source.romLoaded) return;
    show();
    raise();
    activateWindow();
    kanaMemo->hide();
    kanaMemo->setPlainText(KanaDisplayText(KanaDumpViewText(KanaDumpEntries(source, wrap))));
    kanaMemo->show();
}

}  // namespace corv::editor
