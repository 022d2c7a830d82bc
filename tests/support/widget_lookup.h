#pragma once
// Finds a window's parts by the objectName they are created with, as a reader of the program
// names them. The windows keep their widgets to themselves; the tests reach them this way, which
// also proves the names.

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace corv::testing {

// The object of type T named `name`: `root` itself, one of its descendants, or, for the editor's
// companion windows, which have no parent, a top-level window or one of its descendants. A name
// that is not found ends the test program with a message naming it.
template <typename T>
T* Named(const QObject& root, const char* name) {
    const QString wanted = QString::fromLatin1(name);
    QObject& self = const_cast<QObject&>(root);
    if (self.objectName() == wanted) {
        if (T* found = qobject_cast<T*>(&self)) return found;
    }
    if (T* found = self.findChild<T*>(wanted)) return found;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == wanted) {
            if (T* found = qobject_cast<T*>(top)) return found;
        }
        if (T* found = top->findChild<T*>(wanted)) return found;
    }
    std::fprintf(stderr, "no %s named \"%s\"\n", T::staticMetaObject.className(), name);
    std::abort();
}

}  // namespace corv::testing
