#include "editor/logic/window_placement.h"

namespace corv::editor {

namespace {
constexpr int kGap = 2;
constexpr int kZoomExtraHeight = 256;  // the paint box doubles; the status bar keeps its height
}  // namespace

std::optional<CompanionPlacement> PlaceCompanions(const MainWindowState& main, WindowSize textEditor,
                                                  WindowSize listData, KanaTextPlace kana) {
    if (!main.running || main.minimised || main.maximised) return std::nullopt;
    const WindowRect& frame = main.frame;
    CompanionPlacement placement;
    placement.textEditor = {frame.position.left + frame.size.width + kGap, frame.position.top};
    placement.listData = {placement.textEditor.left, placement.textEditor.top + textEditor.height + kGap};
    if (kana == KanaTextPlace::BelowMain) {
        placement.kanaText = {frame.position.left, frame.position.top + frame.size.height + kGap};
    } else {
        placement.kanaText = {placement.listData.left, placement.listData.top + listData.height + kGap};
    }
    return placement;
}

WindowSize ZoomedClientSize(WindowSize defaultClient) {
    return {2 * defaultClient.width, defaultClient.height + kZoomExtraHeight};
}

}  // namespace corv::editor
