// Qt's file dialogs, as both programs show them, leave no settings file behind: neither program
// keeps settings between runs. HOME and XDG_CONFIG_HOME point at a fresh folder before Qt starts.

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QtTest/QtTest>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialogs/qt_dialogs.h"

namespace corv::dialogs {

namespace {

namespace fs = std::filesystem;

fs::path g_home;

fs::path configFolder() { return g_home / ".config"; }

// Cancels the next file dialog once it is shown.
void cancelFileDialogWhenShown() {
    QTimer::singleShot(10, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            cancelFileDialogWhenShown();
            return;
        }
        dialog->reject();
    });
}

// The files under `folder`, as a list a failure can print.
QStringList filesUnder(const fs::path& folder) {
    QStringList files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (!it->is_directory()) files << QString::fromStdString(it->path().string());
    }
    return files;
}

}  // namespace

class FileDialogSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsWriteNoSettingsFile() {
        QtDialogs dialogs(nullptr, QStringLiteral("Test"));
        const FileRequest request{"Choose", g_home, "", "All Files | *.*"};
        cancelFileDialogWhenShown();
        QVERIFY(!dialogs.openFile(request).has_value());
        cancelFileDialogWhenShown();
        QVERIFY(dialogs.openFiles(request).empty());
        cancelFileDialogWhenShown();
        QVERIFY(!dialogs.saveFile(request).has_value());

        QCOMPARE(filesUnder(configFolder()), QStringList{});
        QVERIFY(!fs::exists(g_home / ".config" / "QtProject.conf"));
    }
};

}  // namespace corv::dialogs

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    // Where Qt keeps user settings is read once, when the first settings object is made.
    std::string pattern = (fs::temp_directory_path() / "corv-home-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    corv::dialogs::g_home = pattern;
    fs::create_directories(corv::dialogs::configFolder());
    ::setenv("HOME", pattern.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", corv::dialogs::configFolder().c_str(), 1);

    int result = 0;
    {
        QApplication application(argc, argv);
        corv::dialogs::FileDialogSettingsTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    std::error_code ignored;
    fs::remove_all(corv::dialogs::g_home, ignored);
    return result;
}

#include "file_dialog_settings_test.moc"
