#pragma once
// Dialogs answered from a script, for tests: each call takes the next scripted reply, which must
// be of the same kind, and every call is recorded in order. A call without a matching reply
// cancels (or answers No) and is recorded as unexpected, so a test can fail on it afterwards
// instead of hanging in a modal dialog.

#include <deque>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace corv::dialogs {

class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { OpenFile, OpenFiles, SaveFile, Message, Question, Text };

    struct Call {
        Kind kind = Kind::Message;
        FileRequest request;   // file dialogs
        std::string caption;   // questions
        std::string text;      // messages and questions
    };

    // Replies, consumed in order.
    void replyOpenFile(std::optional<std::filesystem::path> choice);
    void replyOpenFiles(std::vector<std::filesystem::path> choice);  // empty: cancelled
    void replySaveFile(std::optional<std::filesystem::path> choice);
    void replyYesNo(bool yes);
    void replyText(std::optional<std::string> text);  // std::nullopt: cancelled

    [[nodiscard]] std::optional<std::filesystem::path> openFile(const FileRequest& request) override;
    [[nodiscard]] std::vector<std::filesystem::path> openFiles(const FileRequest& request) override;
    [[nodiscard]] std::optional<std::filesystem::path> saveFile(const FileRequest& request) override;
    void message(const std::string& text) override;
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;
    [[nodiscard]] std::optional<std::string> askText(const std::string& caption, const std::string& label) override;

    [[nodiscard]] const std::vector<Call>& calls() const { return calls_; }
    // The texts of the message boxes shown so far, in order.
    [[nodiscard]] std::vector<std::string> messages() const;
    // Descriptions of calls that found no matching reply; empty when the script was followed.
    [[nodiscard]] const std::vector<std::string>& unexpected() const { return unexpected_; }
    // Replies that were scripted but never asked for.
    [[nodiscard]] size_t pendingReplies() const { return replies_.size(); }
    void clearRecord();

private:
    struct Reply {
        Kind kind;
        std::optional<std::filesystem::path> path;
        bool yes = false;
        std::vector<std::filesystem::path> paths;
        std::optional<std::string> text;
    };
    std::optional<Reply> takeReply(Kind kind, const std::string& what);

    std::deque<Reply> replies_;
    std::vector<Call> calls_;
    std::vector<std::string> unexpected_;
};

}  // namespace corv::dialogs
