#pragma once
// What the editor's companion windows have in common: the tool-window frame, bounds that include
// the frame, the stand-in for the fixed-pitch font, fixed list rows and the stay-on-top switch.

#include <QFont>
#include <QPoint>
#include <QSize>
#include <QStyledItemDelegate>

class QWidget;

namespace corv::editor {

// Liberation Mono, metrically the same as the fixed-pitch font the windows were designed with.
[[nodiscard]] QFont CourierFont(int pixelSize);

// A resizable tool window with a title bar, system menu, minimise and close buttons. Its close
// button only hides it, as for every companion window.
void MakeToolWindow(QWidget* window);

// Places `window` with its frame's top-left corner at `position` and its outer size, frame
// included, at `outer`. The window system reports the frame only once the window is on screen:
// until then the client area takes the whole size, and from then on the client is shrunk (or
// grown, should the frame change) so that the outer size stays what it was. A user's resize
// afterwards is left alone. Without a frame, client and outer size are the same.
void SetOuterBounds(QWidget* window, QPoint position, QSize outer);

// As SetOuterBounds, with the outer bounds centred on the primary screen.
void SetOuterSizeCentred(QWidget* window, QSize outer);

// Keeps `window` above other windows or makes it a normal window again. Changing window flags
// hides a shown window, so a visible window is shown again at the same place.
void SetStayOnTop(QWidget* window, bool onTop);

// List rows of one fixed height, like a list box with a set item height.
class FixedRowDelegate final : public QStyledItemDelegate {
public:
    FixedRowDelegate(int rowHeight, QObject* parent);
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int rowHeight_;
};

}  // namespace corv::editor
