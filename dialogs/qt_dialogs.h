#pragma once
// Dialogs shown with Qt's standard file dialogs and message boxes.

#include <QString>

#include "dialogs/dialogs.h"

class QWidget;

namespace corv::dialogs {

class QtDialogs final : public Dialogs {
public:
    // `parent` owns the modal dialogs; `messageCaption` is the caption of message boxes. The
    // first one made in a process keeps the file dialogs' own state (last folder, history) out
    // of the user's settings folder: the programs keep no settings between runs.
    QtDialogs(QWidget* parent, QString messageCaption);

    [[nodiscard]] std::optional<std::filesystem::path> openFile(const FileRequest& request) override;
    [[nodiscard]] std::vector<std::filesystem::path> openFiles(const FileRequest& request) override;
    [[nodiscard]] std::optional<std::filesystem::path> saveFile(const FileRequest& request) override;
    void message(const std::string& text) override;
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;
    [[nodiscard]] std::optional<std::string> askText(const std::string& caption, const std::string& label) override;

    void setParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_;
    QString caption_;
};

// "Description | *.a; *.b" (the form the commands use) as a Qt name filter "Description (*.a *.b)";
// a description that already ends in "(*.a *.b)" is kept as it stands. Further "| Description |
// patterns" pairs are further choices of the dialog ("A (*.a);;B (*.b)").
[[nodiscard]] QString qtNameFilter(const std::string& filter);

}  // namespace corv::dialogs
