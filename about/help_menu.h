#pragma once
// The Help menu both windows end their menu bar with: one item, About, that shows the program's
// version and purpose in a message box.

#include <string>

class QMenu;
class QMenuBar;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::about {

// Appends "&Help" (object name Help1) with "&About" (About1) after the menus already on `bar`.
// About shows `aboutText` through `dialogs`, which must outlive the menu bar.
QMenu* AddHelpMenu(QMenuBar& bar, dialogs::Dialogs& dialogs, std::string aboutText);

}  // namespace corv::about
