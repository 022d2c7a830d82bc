// CorvaneText: the script editor. Started with two arguments, ROM and block data file, it opens
// them as File > Open ROM File would after the two dialogs; with one, a ROM (as a file manager's
// "Open with" passes it), it opens that ROM and asks for the block data file. "--version" prints
// the version and ends before any window opens. One argument that names a translation project
// (its file, a .toml file, or the folder that holds corvane-project.toml) opens that project.

#include <QApplication>
#include <QStringList>

#include <iostream>
#include <string>

#include "about/version.h"
#include "dialogs/qt_dialogs.h"
#include "editor/logic/editor_project.h"
#include "editor/logic/editor_texts.h"
#include "editor/ui/main_window.h"

int main(int argc, char** argv) {
    if (corv::about::AsksForVersion(argc, argv)) {
        std::cout << corv::about::VersionLine("CorvaneText") << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    const QString title = QString::fromLatin1(corv::editor::kApplicationTitle);
    QApplication::setApplicationName(QStringLiteral("CorvaneText"));
    QApplication::setApplicationVersion(QString::fromStdString(std::string(corv::about::ProjectVersion())));
    QApplication::setDesktopFileName(QStringLiteral("org.corvane.CorvaneText"));
    corv::dialogs::QtDialogs dialogs(nullptr, title);
    corv::editor::MainWindow myForm(dialogs);
    dialogs.setParent(&myForm);
    myForm.showWindowSet();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3) {
        myForm.openWithFiles(arguments[1].toStdString(), arguments[2].toStdString());
    } else if (arguments.size() == 2) {
        const std::filesystem::path argument = arguments[1].toStdString();
        if (const auto project = corv::editor::ProjectFileArgument(argument)) {
            myForm.openProjectFile(*project);
        } else {
            myForm.openWithRom(argument);
        }
    }
    return QApplication::exec();
}
