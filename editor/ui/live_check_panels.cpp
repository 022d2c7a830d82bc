#include "editor/ui/live_check_panels.h"

#include <QHBoxLayout>
#include <QLabel>

#include "editor/logic/live_checks.h"
#include "editor/logic/live_texts.h"

namespace corv::editor {
namespace {

QLabel* addPanel(QWidget* parent, const char* name, const QString& accessibleName, const QFont& font) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAccessibleName(accessibleName);
    panel->setFont(font);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return panel;
}

}  // namespace

LiveCheckPanels::LiveCheckPanels(const QFont& font, QWidget* parent)
    : QWidget(parent),
      room_(addPanel(this, "RoomPanel", QStringLiteral("Room"), font)),
      progress_(addPanel(this, "ProgressPanel", QStringLiteral("Progress"), font)) {
    setObjectName(QStringLiteral("LiveCheckPanels"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(room_);
    row->addWidget(progress_);
}

void LiveCheckPanels::showChecks(const LiveChecks& checks) {
    room_->setText(QString::fromStdString(RoomPanelText(checks)));
    // The whole note on a room taken from the last insertion, for the pointer and screen readers.
    const QString note = QString::fromStdString(RoomPanelNote(checks));
    if (room_->toolTip() != note) {
        room_->setToolTip(note);
        room_->setAccessibleDescription(note);
    }
    progress_->setText(QString::fromStdString(ProgressText(checks)));
    ++updates_;
}

QString LiveCheckPanels::roomText() const { return room_->text(); }

QString LiveCheckPanels::progressText() const { return progress_->text(); }

}  // namespace corv::editor
