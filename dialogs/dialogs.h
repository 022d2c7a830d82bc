#pragma once
// The seam between a window's commands and the user's answers: file dialogs, message boxes and
// Yes/No questions. Windows ask through this interface only, so that tests can answer with
// scripted replies (ScriptedDialogs) and the real program with Qt's dialogs (QtDialogs).
// No Qt in this header; both windowed programs can use it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corv::dialogs {

struct FileRequest {
    std::string title;                 // empty: the toolkit's default caption
    std::filesystem::path directory;   // initial folder
    std::string fileName;              // initial file name, usually empty
    // "Description | *.a; *.b", as the commands give it, and more such pairs after a "|" for a
    // dialog that offers several; an empty filter shows every file.
    std::string filter;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen existing file, or std::nullopt when the user cancelled.
    [[nodiscard]] virtual std::optional<std::filesystem::path> openFile(const FileRequest& request) = 0;
    // The chosen existing files of a dialog that allows several, in the order the dialog lists
    // them; empty when the user cancelled.
    [[nodiscard]] virtual std::vector<std::filesystem::path> openFiles(const FileRequest& request) = 0;
    // The chosen file name to write, or std::nullopt when the user cancelled.
    [[nodiscard]] virtual std::optional<std::filesystem::path> saveFile(const FileRequest& request) = 0;
    // A modal message box with an OK button.
    virtual void message(const std::string& text) = 0;
    // A modal Yes/No question (no Cancel); true for Yes.
    [[nodiscard]] virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // A modal one-line text question with OK and Cancel; std::nullopt when cancelled.
    [[nodiscard]] virtual std::optional<std::string> askText(const std::string& caption, const std::string& label) = 0;
};

}  // namespace corv::dialogs
