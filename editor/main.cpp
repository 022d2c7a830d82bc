// CorvaneText: the script editor. Started with two arguments, ROM and block data file, it opens
// them as File > Open ROM File would after the two dialogs.

#include <QApplication>
#include <QStringList>

#include "dialogs/qt_dialogs.h"
#include "editor/logic/editor_texts.h"
#include "editor/ui/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString title = QString::fromLatin1(corv::editor::kApplicationTitle);
    QApplication::setApplicationName(QStringLiteral("CorvaneText"));
    corv::ui::QtDialogs dialogs(nullptr, title);
    corv::editor::MainWindow myForm(dialogs);
    dialogs.setParent(&myForm);
    myForm.showWindowSet();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3) {
        myForm.openWithFiles(arguments[1].toStdString(), arguments[2].toStdString());
    }
    return QApplication::exec();
}
