// The main window's rules decided without a screen: the scroll keys with their limits, the
// placement of the companion windows and the sizes of the Window menu, the busy-state commands.

#include <gtest/gtest.h>

#include "editor/logic/scroll_keys.h"
#include "editor/logic/shown_string.h"
#include "editor/logic/string_choice_follow.h"
#include "editor/logic/window_placement.h"

namespace corv::editor {
namespace {

constexpr ScrollModifiers kShift{true, false};
constexpr ScrollModifiers kControl{false, true};
constexpr ScrollModifiers kBoth{true, true};
constexpr ScrollModifiers kNone{};

TEST(ScrollKeys, ShiftMovesTheKanaViewControlTheAsciiViewAndBothStopAtTheirEnds) {
    ScrollOffsets offsets;
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Up, kShift, offsets), ScrollKeyOutcome::Swallowed);
    EXPECT_EQ(offsets, (ScrollOffsets{0, 0}));
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Down, kShift, offsets), ScrollKeyOutcome::Redraw);
    EXPECT_EQ(offsets, (ScrollOffsets{16, 0}));
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Down, kBoth, offsets), ScrollKeyOutcome::Redraw);
    EXPECT_EQ(offsets, (ScrollOffsets{16, 16}));

    offsets = {};
    int accepted = 0;
    while (ApplyScrollKey(ScrollKey::Down, kControl, offsets) == ScrollKeyOutcome::Redraw) ++accepted;
    EXPECT_EQ(accepted, 42);
    EXPECT_EQ(offsets, (ScrollOffsets{0, 672}));
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Up, kControl, offsets), ScrollKeyOutcome::Redraw);
    EXPECT_EQ(offsets.ascii, 656u);
}

TEST(ScrollKeys, OtherKeysWithAModifierAreSwallowedAndKeysWithoutOneRedraw) {
    ScrollOffsets offsets{32, 48};
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Other, kShift, offsets), ScrollKeyOutcome::Swallowed);
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Other, kControl, offsets), ScrollKeyOutcome::Swallowed);
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Other, kNone, offsets), ScrollKeyOutcome::Redraw);
    EXPECT_EQ(ApplyScrollKey(ScrollKey::Down, kNone, offsets), ScrollKeyOutcome::Redraw);
    EXPECT_EQ(offsets, (ScrollOffsets{32, 48}));
}

TEST(WindowPlacement, CompanionsFollowTheMainWindowOnlyWhileItIsRunningAndNormal) {
    MainWindowState main;
    main.frame = {{4, 3}, {328, 329}};
    main.running = true;
    const WindowSize textEditor{326, 326};
    const WindowSize listData{328, 114};

    const auto resized = PlaceCompanions(main, textEditor, listData, KanaTextPlace::BelowMain);
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->textEditor, (WindowPoint{334, 3}));
    EXPECT_EQ(resized->listData, (WindowPoint{334, 331}));
    EXPECT_EQ(resized->kanaText, (WindowPoint{4, 334}));

    const auto zoomed = PlaceCompanions(main, textEditor, listData, KanaTextPlace::BelowListData);
    ASSERT_TRUE(zoomed);
    EXPECT_EQ(zoomed->kanaText, (WindowPoint{334, 447}));

    for (auto change : {&MainWindowState::minimised, &MainWindowState::maximised}) {
        MainWindowState other = main;
        other.*change = true;
        EXPECT_FALSE(PlaceCompanions(other, textEditor, listData, KanaTextPlace::BelowMain));
    }
    main.running = false;
    EXPECT_FALSE(PlaceCompanions(main, textEditor, listData, KanaTextPlace::BelowMain));
}

TEST(WindowPlacement, ZoomDoublesThePaintBoxAndKeepsTheStatusBar) {
    EXPECT_EQ(ZoomedClientSize({320, 275}), (WindowSize{640, 531}));
}

TEST(ShownString, TheWindowsReloadOnlyForAnotherStringOrAfterAChange) {
    script::ResolvedString text;
    text.kind = script::ResolvedKind::GameString;
    text.textPointer = 0x0C40;
    ShownString shown;
    EXPECT_TRUE(shown.replace(text));
    EXPECT_FALSE(shown.replace(text));  // typing draws the same string again
    shown.forget();                     // the block or the code maps changed meanwhile
    EXPECT_TRUE(shown.replace(text));
    text.textPointer = 0x0C80;
    EXPECT_TRUE(shown.replace(text));
    script::ResolvedString inserted;
    inserted.kind = script::ResolvedKind::HackedText;
    EXPECT_TRUE(shown.replace(inserted));
    EXPECT_FALSE(shown.replace(inserted));
}

TEST(ScriptFollow, TypingMovesNothingAResizeOnlyTheViewOtherChoicesBoth) {
    const ScriptFollow typing = FollowFor(ChoiceSender::TextChanged);
    EXPECT_FALSE(typing.moveCaret);
    EXPECT_FALSE(typing.scrollToEntry);
    const ScriptFollow resized = FollowFor(ChoiceSender::EditorResized);
    EXPECT_FALSE(resized.moveCaret);
    EXPECT_TRUE(resized.scrollToEntry);
    for (const ChoiceSender sender : {ChoiceSender::Program, ChoiceSender::User}) {
        EXPECT_TRUE(FollowFor(sender).moveCaret);
        EXPECT_TRUE(FollowFor(sender).scrollToEntry);
    }
}

}  // namespace
}  // namespace corv::editor
