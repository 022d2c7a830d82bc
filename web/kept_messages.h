#pragma once
// The dialogs of one command whose message boxes the page shows with the command's result: the
// messages are kept, in order, instead of shown; file dialogs and questions go to the page's
// dialogs as ever.

#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace corv::web {

class KeptMessages final : public dialogs::Dialogs {
public:
    // `page` must outlive this object.
    explicit KeptMessages(dialogs::Dialogs& page) : page_(page) {}

    [[nodiscard]] std::optional<std::filesystem::path> openFile(const dialogs::FileRequest& request) override {
        return page_.openFile(request);
    }
    [[nodiscard]] std::vector<std::filesystem::path> openFiles(const dialogs::FileRequest& request) override {
        return page_.openFiles(request);
    }
    [[nodiscard]] std::optional<std::filesystem::path> saveFile(const dialogs::FileRequest& request) override {
        return page_.saveFile(request);
    }
    void message(const std::string& text) override { messages_.push_back(text); }
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override {
        return page_.askYesNo(caption, text);
    }
    [[nodiscard]] std::optional<std::string> askText(const std::string& caption, const std::string& label) override {
        return page_.askText(caption, label);
    }

    [[nodiscard]] const std::vector<std::string>& messages() const { return messages_; }

private:
    dialogs::Dialogs& page_;
    std::vector<std::string> messages_;
};

}  // namespace corv::web
