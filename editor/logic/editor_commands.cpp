// The session's commands that write into the ROM image or out of the editor: insertion, IPS and
// BPS patching, the table file, the dictionary area and the raw dump of the current block.

#include "editor/logic/editor_session.h"

#include "core/block_format.h"
#include "core/save_failure_text.h"
#include "editor/logic/check_log.h"
#include "editor/logic/editor_texts.h"
#include "editor/logic/outcome_last_log.h"
#include "script/string_decoder.h"
#include "script/text_block.h"
#include "insert/dictionary_area.h"
#include "patches/block_guard.h"
#include "patches/ips_patch.h"
#include "patches/patch_messages.h"
#include "patches/rom_patcher.h"

namespace corv::editor {

InsertionLog EditorSession::insertText(script::ScriptText& script, insert::InsertionProgress& progress,
                                       dialogs::Dialogs& dialogs) {
    const auto block = index_->currentBlock();
    if (!rom_.loaded()) return {};
    if (!block) {
        // Nothing to insert yet, but the insertion's own first rule still answers.
        if (!table_.hasName()) dialogs.message(kMustLoadTable);
        return {};
    }

    insert::InsertionBlock insertion;
    insertion.index = static_cast<uint32_t>(*block);
    insertion.blockAddress = index_->currentBlockAddress();
    insertion.stringCount = index_->stringCount();
    insertion.length = index_->decompressedLength();
    insertion.compressor = fitHarderWhenOver_ ? insert::InsertionCompressor::MaximisingWhenOver
                                              : insert::InsertionCompressor::Standard;
    // The block list keeps the end the last choice found; a search the insertion makes is only
    // for this run, as the next choice of the block finds the end again.
    uint32_t endOfRoom = index_->blockEnd(*block);
    // The checks read the block as it stands before the insertion lays it out anew; their errors
    // go into the log after the insertion's own lines.
    const std::vector<std::string> checkLines = checkErrorLines(insertion, endOfRoom, script);
    shownString_.forget();  // the block buffer takes the new layout

    // The check errors go before the outcome, which ends the log between its two rules.
    OutcomeLastLog log(progress);
    const insert::InsertionResult result = insert::InsertScript(rom_, index_->blockBuffer(), insertion, endOfRoom,
                                                                script, table_, insertionScratch_, log);
    InsertionLog inserted = log.finish(checkLines);
    if (result.message) dialogs.message(*result.message);
    inserted.result = result;
    return inserted;
}

std::vector<std::string> EditorSession::checkErrorLines(const insert::InsertionBlock& insertion, uint32_t endOfRoom,
                                                        script::ScriptText& script) const {
    script::TextBlock block;
    block.info = insertion;
    block.end = endOfRoom;
    block.listed = true;
    block.inserted = script::BlockIsInserted(rom_.data(), insertion.index);
    block.buffer = std::make_unique<core::BlockBuffer>(index_->blockBuffer());
    check::BoxMetrics box;
    box.variableWidth = settings_.variableWidth;
    const check::BlockReport report = check::CheckBlock(rom_.data(), block, script, table_, box);
    script.setCaret(0);
    return CheckErrorLogLines(report);
}

void EditorSession::patchRom(dialogs::Dialogs& dialogs) {
    if (!rom_.loaded()) return;
    if (rom_.modified() && dialogs.askYesNo(patches::kIpsSaveQuestionCaption, patches::kIpsSaveQuestion)) {
        saveRom(dialogs);
    }
    const std::vector<std::filesystem::path> patches = dialogs.openFiles({kPatchTitle, startDirectory_, {}, kPatchFilter});
    if (patches.empty()) return;
    lastOpenFolder_ = patches.front().parent_path();
    shownString_.forget();
    // A patch that breaks the header of a block the ROM's area tables or the data file list (an
    // IPS made for the ROM with or without a copier header) is refused as a whole: a patch
    // cannot be undone once the ROM is saved.
    std::vector<uint32_t> guarded = {patches::kFontBlockAddress};
    for (size_t n = 0; n < index_->blockCount(); ++n) guarded.push_back(index_->blockAddress(n));
    const patches::PatchOutcome outcome = patches::ApplyPatchFiles(rom_, patches, guarded);
    const std::string message = patches::PatchMessage(outcome);
    if (!message.empty()) dialogs.message(message);
}

void EditorSession::loadTable(dialogs::Dialogs& dialogs) {
    const auto chosen = dialogs.openFile({kOpenTableTitle, startDirectory_, {}, kOpenTableFilter});
    if (!chosen) return;
    lastOpenFolder_ = chosen->parent_path();
    (void)loadTableFrom(*chosen, dialogs);
}

bool EditorSession::loadTableFrom(const std::filesystem::path& path, dialogs::Dialogs& dialogs) {
    if (table_.load(path) == script::TableLoadResult::CannotOpen) {
        dialogs.message(kCannotLoadTable);
        return false;
    }
    // The table stays loaded without the refused lines; the message names each of them.
    const auto& refused = table_.refusedCharacterLines();
    const auto& warnings = table_.characterWarnings();
    if (refused.empty() && warnings.empty()) return true;
    std::string text = refused.empty() ? kTableCharacterWarnings : kTableCharacterLinesRefused;
    for (const script::RefusedCharacterLine& line : refused) text += "\n" + script::RefusedCharacterLineText(line);
    for (const script::CharacterMapWarning& warning : warnings) text += "\nwarning: " + script::CharacterMapWarningText(warning);
    dialogs.message(text);
    return refused.empty();
}

void EditorSession::insertCompression(dialogs::Dialogs& dialogs) {
    const std::string message = insert::DictionaryAreaMessage(insert::InsertDictionaryArea(rom_, table_));
    if (!message.empty()) dialogs.message(message);
}

void EditorSession::dumpDecompressed(dialogs::Dialogs& dialogs) {
    const auto chosen = dialogs.saveFile({kDumpTitle, startDirectory_, {}, {}});
    if (!chosen) return;
    // Before any block was chosen the recorded length is 0: the dump is an empty file.
    const std::span<const uint8_t> bytes = index_->block().first(index_->decompressedLength());
    if (const core::SaveResult saved = core::WriteFileSafely(*chosen, bytes); !saved) {
        dialogs.message(std::string(kCannotWriteDump) + "\n" + core::SaveFailureReason(saved));
    }
}

}  // namespace corv::editor
