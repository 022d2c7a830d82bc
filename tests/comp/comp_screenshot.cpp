// Shows the real CorvComp window after it decompressed the demo ROM's Text area, for the
// documentation's screenshot. Not a test: it drives the window like the window test does (the
// dialogs answered by a script) and then keeps it on screen.
//
//   xvfb-run comp_screenshot FOLDER [--grab PNG] [--hold MILLISECONDS]
//
// FOLDER receives the demo files and becomes the start folder. --grab reads the window's area
// back from the screen (the X server's own pixels, frame included) into PNG; --hold keeps the
// window up that long and prints its window id first, so an outside tool can capture it.
// docs/images/corvcomp-text-area.png was taken with a plain window manager for the caption:
//
//   xvfb-run -a -s "-screen 0 400x400x24" sh -c 'twm & sleep 1;
//     comp_screenshot /tmp/shot --hold 4000 > id.txt & sleep 3;
//     import -frame -window "$(cat id.txt)" corvcomp-text-area.png; wait %2'

#include <QApplication>
#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QtTest/QtTest>

#include <cstdio>
#include <filesystem>

#include "comp/utility_window.h"
#include "dialogs/scripted_dialogs.h"
#include "support/widget_lookup.h"
#include "tools/demo/demo_game.h"

using corv::testing::Named;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CorvComp"));
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: comp_screenshot FOLDER [--grab PNG] [--hold MILLISECONDS]\n");
        return 3;
    }
    const QString folder = args[1];
    QString grabPath;
    int holdMs = 0;
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--grab")) grabPath = args[i + 1];
        if (args[i] == QLatin1String("--hold")) holdMs = args[i + 1].toInt();
    }

    const std::filesystem::path dir(folder.toStdString());
    std::filesystem::create_directories(dir);
    if (!corv::demo::WriteDemoFiles(corv::demo::BuildDemoGame(), dir) || !QDir::setCurrent(folder)) {
        std::fprintf(stderr, "comp_screenshot: cannot prepare %s\n", qPrintable(folder));
        return 1;
    }

    corv::dialogs::ScriptedDialogs dialogs;
    corv::comp::UtilityWindow cmForm(dialogs);
    cmForm.show();
    if (!QTest::qWaitForWindowExposed(&cmForm)) {
        std::fprintf(stderr, "comp_screenshot: the window was never shown\n");
        return 1;
    }
    dialogs.replyOpenFile(dir / corv::demo::kRomFileName);
    Named<QAction>(cmForm, "OpenROMFile1")->trigger();
    Named<QAction>(cmForm, "Text1")->trigger();
    if (!dialogs.messages().empty() || !cmForm.state().romLoaded() ||
        Named<QListWidget>(cmForm, "ListBox1")->count() == 0) {
        std::fprintf(stderr, "comp_screenshot: the Text area was not decompressed\n");
        return 1;
    }
    QTest::qWait(300);  // let the list repaint

    if (!grabPath.isEmpty()) {
        const QRect frame = cmForm.frameGeometry();
        const QPixmap shot = cmForm.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        if (shot.isNull() || !shot.save(grabPath, "PNG")) {
            std::fprintf(stderr, "comp_screenshot: cannot write %s\n", qPrintable(grabPath));
            return 1;
        }
    }
    if (holdMs > 0) {
        std::printf("0x%llx\n", static_cast<unsigned long long>(cmForm.winId()));
        std::fflush(stdout);
        QTimer::singleShot(holdMs, &application, &QApplication::quit);
        return QApplication::exec();
    }
    return 0;
}
