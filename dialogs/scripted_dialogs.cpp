#include "dialogs/scripted_dialogs.h"

namespace corv::dialogs {

namespace {

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::OpenFile: return "open-file dialog";
        case ScriptedDialogs::Kind::OpenFiles: return "open-files dialog";
        case ScriptedDialogs::Kind::SaveFile: return "save-file dialog";
        case ScriptedDialogs::Kind::Message: return "message";
        case ScriptedDialogs::Kind::Question: return "question";
        case ScriptedDialogs::Kind::Text: return "text question";
    }
    return "?";
}

}  // namespace

void ScriptedDialogs::replyOpenFile(std::optional<std::filesystem::path> choice) {
    replies_.push_back({Kind::OpenFile, std::move(choice), false, {}, {}});
}

void ScriptedDialogs::replyOpenFiles(std::vector<std::filesystem::path> choice) {
    replies_.push_back({Kind::OpenFiles, std::nullopt, false, std::move(choice), {}});
}

void ScriptedDialogs::replySaveFile(std::optional<std::filesystem::path> choice) {
    replies_.push_back({Kind::SaveFile, std::move(choice), false, {}, {}});
}

void ScriptedDialogs::replyYesNo(bool yes) { replies_.push_back({Kind::Question, std::nullopt, yes, {}, {}}); }

void ScriptedDialogs::replyText(std::optional<std::string> text) {
    replies_.push_back({Kind::Text, std::nullopt, false, {}, std::move(text)});
}

std::optional<ScriptedDialogs::Reply> ScriptedDialogs::takeReply(Kind kind, const std::string& what) {
    if (replies_.empty() || replies_.front().kind != kind) {
        std::string note = std::string("unscripted ") + kindName(kind) + ": " + what;
        if (!replies_.empty()) note += std::string(" (next reply is for a ") + kindName(replies_.front().kind) + ")";
        unexpected_.push_back(std::move(note));
        return std::nullopt;
    }
    Reply reply = std::move(replies_.front());
    replies_.pop_front();
    return reply;
}

std::optional<std::filesystem::path> ScriptedDialogs::openFile(const FileRequest& request) {
    calls_.push_back({Kind::OpenFile, request, {}, {}});
    const auto reply = takeReply(Kind::OpenFile, request.title + " [" + request.filter + "]");
    return reply ? reply->path : std::nullopt;
}

std::vector<std::filesystem::path> ScriptedDialogs::openFiles(const FileRequest& request) {
    calls_.push_back({Kind::OpenFiles, request, {}, {}});
    auto reply = takeReply(Kind::OpenFiles, request.title + " [" + request.filter + "]");
    return reply ? std::move(reply->paths) : std::vector<std::filesystem::path>{};
}

std::optional<std::filesystem::path> ScriptedDialogs::saveFile(const FileRequest& request) {
    calls_.push_back({Kind::SaveFile, request, {}, {}});
    const auto reply = takeReply(Kind::SaveFile, request.title + " [" + request.filter + "]");
    return reply ? reply->path : std::nullopt;
}

void ScriptedDialogs::message(const std::string& text) { calls_.push_back({Kind::Message, {}, {}, text}); }

bool ScriptedDialogs::askYesNo(const std::string& caption, const std::string& text) {
    calls_.push_back({Kind::Question, {}, caption, text});
    const auto reply = takeReply(Kind::Question, caption + ": " + text);
    return reply && reply->yes;
}

std::optional<std::string> ScriptedDialogs::askText(const std::string& caption, const std::string& label) {
    calls_.push_back({Kind::Text, {}, caption, label});
    const auto reply = takeReply(Kind::Text, caption + ": " + label);
    return reply ? reply->text : std::nullopt;
}

std::vector<std::string> ScriptedDialogs::messages() const {
    std::vector<std::string> texts;
    for (const Call& call : calls_) {
        if (call.kind == Kind::Message) texts.push_back(call.text);
    }
    return texts;
}

void ScriptedDialogs::clearRecord() {
    calls_.clear();
    unexpected_.clear();
}

}  // namespace corv::dialogs
