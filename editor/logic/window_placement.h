#pragma once
// Where the main window keeps its companion windows, and the sizes of the Window menu's two
// commands. Positions are outer window positions on the screen, sizes outer sizes unless named
// client sizes.

#include <optional>

namespace corv::editor {

struct WindowPoint {
    int left = 0;
    int top = 0;
    friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

struct WindowSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

struct WindowRect {
    WindowPoint position;
    WindowSize size;
};

struct MainWindowState {
    WindowRect frame;         // outer bounds of the main window
    bool running = false;     // start-up finished and closing not yet ended
    bool minimised = false;
    bool maximised = false;
};

struct CompanionPlacement {
    WindowPoint textEditor;
    WindowPoint listData;
    WindowPoint kanaText;
};

// Whether the Kana Text window goes below the main window (a real resize and Default Window
// Size) or below the List Data window (Zoom in x 2).
enum class KanaTextPlace { BelowMain, BelowListData };

// The Text Editor to the right of the main window, List Data below the Text Editor, Kana Text
// as `kana` says; 2 pixels between windows. std::nullopt, moving nothing, before start-up has
// finished and while the main window is minimised or maximised.
[[nodiscard]] std::optional<CompanionPlacement> PlaceCompanions(const MainWindowState& main, WindowSize textEditor,
                                                                WindowSize listData, KanaTextPlace kana);

// Zoom in x 2: twice the default client width, the default client height plus 256.
[[nodiscard]] WindowSize ZoomedClientSize(WindowSize defaultClient);

}  // namespace corv::editor
