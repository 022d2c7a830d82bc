#include "dialogs/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace corv::ui {

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

}  // namespace

QString qtNameFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0) return text.trimmed();
    const QString description = text.left(bar).trimmed();
    QStringList patterns;
    for (const QString& pattern : text.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
    }
    const QString patternList = QStringLiteral("(") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    // A description that already ends in its patterns, as "IPS files (*.ips)", is a Qt filter
    // already; adding them again would show them twice in the dialog.
    if (description.endsWith(patternList)) return description;
    return description + QLatin1Char(' ') + patternList;
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

}  // namespace corv::ui
