#include "dialogs/qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

namespace corv::dialogs {

namespace {

QString toQString(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::optional<std::filesystem::path> toPath(const QString& chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

QString startPath(const FileRequest& request) {
    if (request.fileName.empty()) return toQString(request.directory);
    return toQString(request.directory / request.fileName);
}

// Qt's file dialog writes its sidebar, history and last folder to QtProject.conf in the user's
// settings folder each time it closes, and reads them back when it opens. Settings of every
// scope and format go instead to a folder of this process's own, removed when it ends. Should no
// temporary folder be available, they go beneath the program's own file, where no folder can be
// made: Qt then keeps nothing, which the dialogs do not need.
void keepDialogSettingsForThisRunOnly() {
    static QTemporaryDir folder;
    static bool redirected = false;
    if (redirected) return;
    QString path = folder.path();
    if (!folder.isValid()) {
        const QString program = QCoreApplication::applicationFilePath();
        if (!QFileInfo(program).isFile()) return;
        path = program + QStringLiteral("/settings");
    }
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, path);
        }
    }
    redirected = true;
}

}  // namespace

QtDialogs::QtDialogs(QWidget* parent, QString messageCaption) : parent_(parent), caption_(std::move(messageCaption)) {
    keepDialogSettingsForThisRunOnly();
}

namespace {

QString oneNameFilter(const QString& description, const QString& patternText) {
    QStringList patterns;
    for (const QString& pattern : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
    }
    const QString patternList = QStringLiteral("(") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    // A description that already ends in its patterns, as "IPS files (*.ips)", is a Qt filter
    // already; adding them again would show them twice in the dialog.
    if (description.endsWith(patternList)) return description;
    return description + QLatin1Char(' ') + patternList;
}

}  // namespace

QString qtNameFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    if (parts.size() < 2) return parts.front().trimmed();
    // "Description|patterns" pairs, one choice of the dialog each, the first shown first.
    QStringList choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) choices << oneNameFilter(parts[i].trimmed(), parts[i + 1]);
    return choices.join(QStringLiteral(";;"));
}

std::optional<std::filesystem::path> QtDialogs::openFile(const FileRequest& request) {
    return toPath(QFileDialog::getOpenFileName(parent_, QString::fromStdString(request.title), startPath(request),
                                               qtNameFilter(request.filter)));
}

std::vector<std::filesystem::path> QtDialogs::openFiles(const FileRequest& request) {
    const QStringList chosen = QFileDialog::getOpenFileNames(parent_, QString::fromStdString(request.title),
                                                             startPath(request), qtNameFilter(request.filter));
    std::vector<std::filesystem::path> paths;
    for (const QString& name : chosen) paths.emplace_back(name.toStdString());
    return paths;
}

std::optional<std::filesystem::path> QtDialogs::saveFile(const FileRequest& request) {
    return toPath(QFileDialog::getSaveFileName(parent_, QString::fromStdString(request.title), startPath(request),
                                               qtNameFilter(request.filter)));
}

void QtDialogs::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, caption_, QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::askYesNo(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::askText(const std::string& caption, const std::string& label) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent_, QString::fromStdString(caption), QString::fromStdString(label),
                                               QLineEdit::Normal, QString(), &accepted);
    if (!accepted) return std::nullopt;
    return text.toStdString();
}

}  // namespace corv::dialogs
