#include "editor/ui/live_check_panels.h"

#include <QLabel>

#include <algorithm>

#include "editor/logic/live_checks.h"
#include "editor/logic/live_texts.h"

namespace corv::editor {
namespace {

constexpr char kRoomDescription[] = "Room of the current block";

// A screen reader reads a label's text as its name and says what it is from the description (a
// name of its own would hide the text).
QLabel* addPanel(QWidget* parent, const char* name, const QString& description, const QFont& font) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAccessibleDescription(description);
    panel->setFont(font);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return panel;
}

}  // namespace

LiveCheckPanels::LiveCheckPanels(const QFont& font, QWidget* parent)
    : QWidget(parent),
      room_(addPanel(this, "RoomPanel", QString::fromLatin1(kRoomDescription), font)),
      notes_(addPanel(this, "RoomNotesPanel", QStringLiteral("What the room leaves out"), font)),
      progress_(addPanel(this, "ProgressPanel", QStringLiteral("Strings translated in the current block"), font)) {
    setObjectName(QStringLiteral("LiveCheckPanels"));
    // One above the other, each read whole. Only the notes wrap: a wrapping label measures its
    // height for every new text, and the figures change with every key. The rows are placed by
    // hand at fixed sizes, so that a new text lays nothing out again.
    notes_->setWordWrap(true);
    notes_->hide();
    room_->setText(QStringLiteral("0"));
    rowHeight_ = room_->sizeHint().height();
    room_->clear();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int LiveCheckPanels::notesHeight() const { return notes_->isVisibleTo(this) ? notes_->heightForWidth(width()) : 0; }

QSize LiveCheckPanels::sizeHint() const { return {0, 2 * rowHeight_ + notesHeight()}; }

QSize LiveCheckPanels::minimumSizeHint() const { return sizeHint(); }

void LiveCheckPanels::placeRows() {
    const int notes = notesHeight();
    room_->setFixedSize(width(), rowHeight_);
    room_->move(0, 0);
    notes_->setFixedSize(width(), std::max(notes, 1));
    notes_->move(0, rowHeight_);
    progress_->setFixedSize(width(), rowHeight_);
    progress_->move(0, rowHeight_ + notes);
    if (height() != 2 * rowHeight_ + notes) updateGeometry();
}

void LiveCheckPanels::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeRows();
}

void LiveCheckPanels::showChecks(const LiveChecks& checks) {
    room_->setText(QString::fromStdString(RoomFiguresText(checks)));
    const std::string notes = RoomNotesText(checks);
    // Shown without the "; " that joins them to the figures in one line of text.
    const QString shownNotes = QString::fromStdString(notes.size() > 2 ? notes.substr(2) : std::string());
    if (notes_->text() != shownNotes) {
        notes_->setText(shownNotes);
        notes_->setVisible(!shownNotes.isEmpty());
        placeRows();
    }
    // The whole note on a room taken from the last insertion, for the pointer and screen readers.
    const QString note = QString::fromStdString(RoomPanelNote(checks));
    if (room_->toolTip() != note) {
        room_->setToolTip(note);
        room_->setAccessibleDescription(note.isEmpty() ? QString::fromLatin1(kRoomDescription)
                                                       : QString::fromLatin1(kRoomDescription) + QStringLiteral(": ") + note);
    }
    progress_->setText(QString::fromStdString(ProgressText(checks)));
    ++updates_;
}

QString LiveCheckPanels::roomText() const {
    return notes_->text().isEmpty() ? room_->text() : room_->text() + QStringLiteral("; ") + notes_->text();
}

QString LiveCheckPanels::progressText() const { return progress_->text(); }

}  // namespace corv::editor
