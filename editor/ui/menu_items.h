#pragma once
// One menu item as every menu of the editor makes it: its object name, caption and shortcut. The
// shortcut is shown in the menu but runs only through the KeyDispatcher (see key_dispatcher.h):
// limited to its menu, Qt's shortcut map never acts on it.

#include <QString>

class QAction;
class QMenu;

namespace corv::editor {

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut = {});

}  // namespace corv::editor
