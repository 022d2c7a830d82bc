#include "editor/logic/kana_dump_command.h"

#include "core/save_failure_text.h"
#include "dialogs/dialogs.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/string_decoder.h"

namespace corv::editor {

namespace {

// The one-item entries of the view: the whole entry with its blank line.
std::string closedEntry(unsigned index, const char* line) {
    return script::EntrySearchText(static_cast<int>(index)) + "\r\n" + line + "\r\n.ENDS\r\n\r\n";
}

void appendItem(std::string& view, const std::string& item) {
    view += item;
    view += "\r\n";
}

}  // namespace

std::vector<KanaDumpEntry> KanaDumpEntries(const KanaDumpSource& source, const KanaLineWrap& wrap) {
    std::vector<KanaDumpEntry> entries;
    if (source.maps == nullptr) return entries;
    entries.reserve(source.stringCount);
    for (unsigned i = 0; i < source.stringCount; ++i) {
        KanaDumpEntry entry;
        entry.index = i;
        const script::ResolvedString resolved = script::ResolveString(source.block, i, source.inserted);
        switch (resolved.kind) {
            case script::ResolvedKind::GameString:
                entry.kind = KanaEntryKind::Kana;
                entry.lines = KanaWindowLines(KanaWindowText(resolved, *source.maps), wrap);
                break;
            case script::ResolvedKind::HackedText:
                entry.kind = KanaEntryKind::Inserted;
                break;
            case script::ResolvedKind::NonText:
                entry.kind = KanaEntryKind::NonText;
                break;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string KanaDumpFileText(const std::vector<KanaDumpEntry>& entries) {
    std::string text;
    for (const KanaDumpEntry& entry : entries) {
        text += script::EntrySearchText(static_cast<int>(entry.index));
        text += '\n';
        switch (entry.kind) {
            case KanaEntryKind::Kana:
                for (const std::string& line : entry.lines) {
                    text += line;
                    text += '\n';
                }
                break;
            case KanaEntryKind::Inserted:
                text += script::kInsertedBlockLine;
                text += '\n';
                break;
            case KanaEntryKind::NonText:
                text += script::kNonTextMessage;
                text += '\n';
                break;
        }
        text += ".ENDS\n\n";
    }
    return text;
}

std::string KanaDumpViewText(const std::vector<KanaDumpEntry>& entries) {
    std::string view;
    for (const KanaDumpEntry& entry : entries) {
        switch (entry.kind) {
            case KanaEntryKind::Kana:
                appendItem(view, script::EntrySearchText(static_cast<int>(entry.index)));
                appendItem(view, "\r\n");
                for (const std::string& line : entry.lines) appendItem(view, line);
                appendItem(view, ".ENDS");
                appendItem(view, "\r\n\r\n");
                break;
            case KanaEntryKind::Inserted:
                appendItem(view, closedEntry(entry.index, script::kInsertedBlockLine));
                break;
            case KanaEntryKind::NonText:
                appendItem(view, closedEntry(entry.index, script::kNonTextMessage));
                break;
        }
    }
    return view;
}

KanaDumpOutcome DumpKanaToFile(dialogs::Dialogs& dialogs, const KanaDumpSource& source, const KanaLineWrap& wrap) {
    if (!source.romLoaded) return KanaDumpOutcome::NoRom;
    dialogs::FileRequest request;
    request.title = kKanaDumpDialogTitle;
    request.directory = source.startDirectory;
    const auto path = dialogs.saveFile(request);
    if (!path) return KanaDumpOutcome::Cancelled;

    // The whole dump is built before the file is touched, and the file is replaced only once the
    // new bytes are on disk, so a failed write leaves an old file of that name as it was.
    const std::string text = KanaDumpFileText(KanaDumpEntries(source, wrap));
    if (const core::SaveResult saved = script::SaveScriptFile(*path, text); !saved) {
        dialogs.message(std::string(kKanaDumpCannotWrite) + "\n" + core::SaveFailureReason(saved));
        return KanaDumpOutcome::NotWritten;
    }
    dialogs.message(kKanaDumpWritten);
    return KanaDumpOutcome::Written;
}

}  // namespace corv::editor
