#pragma once
// Tells when the current block's script file may have changed on disk: the file itself and its
// folder are watched, since a safe save by another program renames a new file over the old one,
// which takes the old one out of the watch. Only a hint: the session compares the bytes.

#include <QObject>

#include <filesystem>

class QFileSystemWatcher;

namespace corv::editor {

class ScriptFileWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ScriptFileWatcher(QObject* parent = nullptr);

    // Watches `path` (and its folder) instead of the file watched before; an empty path watches
    // nothing.
    void watch(const std::filesystem::path& path);

signals:
    void mayHaveChanged();

private:
    void rewatch();

    QFileSystemWatcher* watcher_;
    QString file_;
};

}  // namespace corv::editor
