#include "editor/logic/string_choice_follow.h"

namespace corv::editor {

ScriptFollow FollowFor(ChoiceSender sender) {
    switch (sender) {
    case ChoiceSender::TextChanged: return {false, false};
    case ChoiceSender::EditorResized: return {false, true};
    case ChoiceSender::Program:
    case ChoiceSender::User: break;
    }
    return {true, true};
}

}  // namespace corv::editor
