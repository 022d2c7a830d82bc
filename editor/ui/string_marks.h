#pragma once
// The marks of List Data's string list: each line keeps its text and gets an icon for its state
// (not translated yet, translated, warning, error), a tooltip with its findings, and the state
// as its accessible description.

class QListWidget;

namespace corv::editor {

class LiveChecks;

// Marks the lines of `list` (one a record) from `checks`; lines of records without text, or all
// lines when no block is open, carry no mark. Only lines whose mark changed are touched.
void MarkStrings(QListWidget* list, const LiveChecks& checks);
// The same for the strings the checks' last update changed.
void MarkChangedStrings(QListWidget* list, const LiveChecks& checks);

}  // namespace corv::editor
