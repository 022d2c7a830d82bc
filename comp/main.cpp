// CorvComp: decompresses the game's block areas into files and puts edited files back.

#include <QApplication>

#include "comp/utility_window.h"
#include "dialogs/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CorvComp"));
    corv::ui::QtDialogs dialogs(nullptr, QApplication::applicationName());
    corv::comp::UtilityWindow cmForm(dialogs);
    dialogs.setParent(&cmForm);
    cmForm.show();
    return QApplication::exec();
}
