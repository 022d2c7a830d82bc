#include "web/page_dialogs.h"

namespace corv::web {
namespace {

using emscripten::val;

val RequestObject(const dialogs::FileRequest& request) {
    val object = val::object();
    object.set("title", request.title);
    object.set("directory", request.directory.string());
    object.set("fileName", request.fileName);
    object.set("filter", request.filter);
    return object;
}

// null and undefined cancel; anything else is taken as the answer's text.
std::optional<std::string> TextOrNothing(const val& answer) {
    if (answer.isNull() || answer.isUndefined()) return std::nullopt;
    return answer.as<std::string>();
}

}  // namespace

std::optional<std::filesystem::path> PageDialogs::openFile(const dialogs::FileRequest& request) {
    return TextOrNothing(page_.call<val>("openFile", RequestObject(request)));
}

std::vector<std::filesystem::path> PageDialogs::openFiles(const dialogs::FileRequest& request) {
    const val answer = page_.call<val>("openFiles", RequestObject(request));
    std::vector<std::filesystem::path> paths;
    if (answer.isNull() || answer.isUndefined()) return paths;
    const auto count = answer["length"].as<unsigned>();
    for (unsigned i = 0; i < count; ++i) paths.emplace_back(answer[i].as<std::string>());
    return paths;
}

std::optional<std::filesystem::path> PageDialogs::saveFile(const dialogs::FileRequest& request) {
    return TextOrNothing(page_.call<val>("saveFile", RequestObject(request)));
}

void PageDialogs::message(const std::string& text) { page_.call<void>("message", text); }

bool PageDialogs::askYesNo(const std::string& caption, const std::string& text) {
    return page_.call<bool>("askYesNo", caption, text);
}

std::optional<std::string> PageDialogs::askText(const std::string& caption, const std::string& label) {
    return TextOrNothing(page_.call<val>("askText", caption, label));
}

}  // namespace corv::web
