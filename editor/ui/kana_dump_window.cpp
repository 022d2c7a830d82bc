#include "editor/ui/kana_dump_window.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "editor/ui/companion_window.h"
#include "editor/ui/key_dispatcher.h"
#include "editor/ui/kana_text_window.h"

namespace corv::editor {

KanaDumpWindow::KanaDumpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("viewKana"));
    setWindowTitle(QStringLiteral("Current Kana Dump"));
    SetOuterSizeCentred(this, {402, 337});

    dumpText_ = new QPlainTextEdit(this);
    dumpText_->setObjectName(QStringLiteral("kanaMemo"));
    dumpText_->setFont(KanaFont());
    dumpText_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    dumpText_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    dumpText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dumpText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    KeepMenuKeys(dumpText_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dumpText_);
}

void KanaDumpWindow::viewDump(const KanaDumpSource& source, const KanaLineWrap& wrap) {
    if (!source.romLoaded) return;
    show();
    raise();
    activateWindow();
    dumpText_->hide();
    dumpText_->setPlainText(KanaDisplayText(KanaDumpViewText(KanaDumpEntries(source, wrap))));
    dumpText_->show();
}

}  // namespace corv::editor
