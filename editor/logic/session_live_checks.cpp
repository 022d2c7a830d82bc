#include "editor/logic/session_live_checks.h"

namespace corv::editor {

void OpenLiveChecks(LiveChecks& checks, const EditorSession& session, std::string_view text) {
    const StringIndex& index = session.index();
    const auto block = index.currentBlock();
    if (!session.romLoaded() || !block) {
        checks.close();
        return;
    }
    LiveBlock live;
    live.romData = session.rom().data();
    live.buffer = &index.blockBuffer();
    live.info = {uint32_t(*block), index.currentBlockAddress(), index.stringCount(), index.decompressedLength()};
    live.endOfRoom = index.blockEnd(*block);
    live.inserted = session.currentBlockInserted();
    live.roomFromLastInsertion = live.inserted && !index.originalRoomKnown(*block);
    check::BoxMetrics box;
    box.variableWidth = session.settings().variableWidth;
    const script::TableFile* table = session.table().hasName() ? &session.table() : nullptr;
    checks.open(live, text, table, box,
                session.fitHarderWhenOver() ? insert::InsertionCompressor::MaximisingWhenOver
                                            : insert::InsertionCompressor::Standard);
}

}  // namespace corv::editor
