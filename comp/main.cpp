// CorvComp: decompresses the game's block areas into files and puts edited files back. Started
// with one argument, a ROM (as a file manager's "Open with" passes it), it opens that ROM as
// File > Open ROM File would after its dialog; "--version" prints the version and ends.

#include <QApplication>
#include <QStringList>

#include <iostream>
#include <string>

#include "about/version.h"
#include "comp/utility_window.h"
#include "dialogs/qt_dialogs.h"

int main(int argc, char** argv) {
    if (corv::about::AsksForVersion(argc, argv)) {
        std::cout << corv::about::VersionLine("CorvComp") << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CorvComp"));
    QApplication::setApplicationVersion(QString::fromStdString(std::string(corv::about::ProjectVersion())));
    QApplication::setDesktopFileName(QStringLiteral("org.corvane.CorvComp"));
    corv::dialogs::QtDialogs dialogs(nullptr, QApplication::applicationName());
    corv::comp::UtilityWindow cmForm(dialogs);
    dialogs.setParent(&cmForm);
    cmForm.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2) cmForm.openRomAt(arguments[1].toStdString());
    return QApplication::exec();
}
