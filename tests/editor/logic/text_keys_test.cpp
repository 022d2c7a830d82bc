// The text-editing keys: which chords they are, and that only a project's editable text takes
// them from the menu.

#include <gtest/gtest.h>

#include "editor/logic/text_keys.h"

namespace corv::editor {
namespace {

KeyChord Ctrl(char letter, bool shift = false) { return KeyChord{letter, true, shift, false, false}; }

TEST(TextKeys, TheSevenChordsAndNothingElse) {
    EXPECT_EQ(TextKeyOf(Ctrl('C')), TextKey::Copy);
    EXPECT_EQ(TextKeyOf(Ctrl('X')), TextKey::Cut);
    EXPECT_EQ(TextKeyOf(Ctrl('V')), TextKey::Paste);
    EXPECT_EQ(TextKeyOf(Ctrl('A')), TextKey::SelectAll);
    EXPECT_EQ(TextKeyOf(Ctrl('Z')), TextKey::Undo);
    EXPECT_EQ(TextKeyOf(Ctrl('Y')), TextKey::Redo);
    EXPECT_EQ(TextKeyOf(Ctrl('Z', true)), TextKey::Redo);
    int textKeys = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        for (const bool shift : {false, true}) {
            if (TextKeyOf(Ctrl(letter, shift)) != TextKey::None) ++textKeys;
            EXPECT_EQ(TextKeyOf(KeyChord{letter, false, shift, false, false}), TextKey::None) << letter;
            EXPECT_EQ(TextKeyOf(KeyChord{letter, true, shift, true, false}), TextKey::None) << letter;
            EXPECT_EQ(TextKeyOf(KeyChord{letter, true, shift, false, true}), TextKey::None) << letter;
        }
    }
    EXPECT_EQ(textKeys, 7);
    EXPECT_EQ(TextKeyOf(Ctrl(0)), TextKey::None);
}

TEST(TextKeys, OnlyAProjectsEditableTextTakesThem) {
    for (const KeyChord chord : {Ctrl('C'), Ctrl('A'), Ctrl('Z', true)}) {
        EXPECT_TRUE(KeyEditsText(EditorMode::Project, true, chord));
        EXPECT_FALSE(KeyEditsText(EditorMode::Project, false, chord));
        EXPECT_FALSE(KeyEditsText(EditorMode::Rom, true, chord));
        EXPECT_FALSE(KeyEditsText(EditorMode::Rom, false, chord));
    }
    EXPECT_FALSE(KeyEditsText(EditorMode::Project, true, Ctrl('S')));
    EXPECT_FALSE(KeyEditsText(EditorMode::Project, true, Ctrl('C', true)));
}

}  // namespace
}  // namespace corv::editor
