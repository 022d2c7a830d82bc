#pragma once
// The live checks of the session's current block, opened from what the insertion would start
// from: the ROM's bytes, the decompressed block, its room, its inserted mark, the table loaded,
// the box (VWF on or off) and the compressor Fit Harder When Over chooses. Both the desktop
// windows and the browser page open them here, so they check the same block the same way.

#include <string_view>

#include "editor/logic/editor_session.h"
#include "editor/logic/live_checks.h"

namespace corv::editor {

// Checks the session's current block against the script `text`; closes `checks` when no ROM is
// loaded or no block chosen. `checks` borrows the session's ROM bytes: open them again after the
// ROM changes.
void OpenLiveChecks(LiveChecks& checks, const EditorSession& session, std::string_view text);

}  // namespace corv::editor
