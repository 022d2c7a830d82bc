#pragma once
// The dialogs of the editor's commands, answered by the page: each call goes to the method of
// the same name of a JavaScript object, which answers at once (the page has chosen its files
// before it runs a command, and asks its questions synchronously).
//
// The object's methods: openFile(request) and saveFile(request) return a path in the module's
// file system or null; openFiles(request) an array of paths, empty when cancelled;
// message(text); askYesNo(caption, text) a boolean; askText(caption, label) a string or null.
// A request is {title, directory, fileName, filter} with the FileRequest's meanings. A method
// must not throw: a JavaScript exception passes through the command without unwinding it.

#include <emscripten/val.h>

#include "dialogs/dialogs.h"

namespace corv::web {

class PageDialogs final : public dialogs::Dialogs {
public:
    explicit PageDialogs(emscripten::val page) : page_(std::move(page)) {}

    [[nodiscard]] std::optional<std::filesystem::path> openFile(const dialogs::FileRequest& request) override;
    [[nodiscard]] std::vector<std::filesystem::path> openFiles(const dialogs::FileRequest& request) override;
    [[nodiscard]] std::optional<std::filesystem::path> saveFile(const dialogs::FileRequest& request) override;
    void message(const std::string& text) override;
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;
    [[nodiscard]] std::optional<std::string> askText(const std::string& caption, const std::string& label) override;

private:
    emscripten::val page_;
};

}  // namespace corv::web
