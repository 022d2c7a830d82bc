#include "editor/ui/script_file_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace corv::editor {

ScriptFileWatcher::ScriptFileWatcher(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this)) {
    const auto changed = [this] {
        rewatch();
        emit mayHaveChanged();
    };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString&) {
        // The folder changes with every file in it; only a change of the script's own is news.
        if (!watcher_->files().contains(file_)) {
            rewatch();
            emit mayHaveChanged();
        }
    });
}

void ScriptFileWatcher::watch(const std::filesystem::path& path) {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    file_ = path.empty() ? QString() : QString::fromStdString(path.string());
    if (file_.isEmpty()) return;
    watcher_->addPath(QFileInfo(file_).absolutePath());
    rewatch();
}

void ScriptFileWatcher::rewatch() {
    if (!file_.isEmpty() && !watcher_->files().contains(file_) && QFileInfo::exists(file_)) watcher_->addPath(file_);
}

}  // namespace corv::editor
