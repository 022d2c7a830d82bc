#include "script/kana_dump.h"

#include "script/entry_words.h"
#include "script/string_decoder.h"

namespace corv::script {

std::vector<std::string> KanaTextLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t lineEnd = text.find("\r\n");
        if (lineEnd == std::string_view::npos) {
            lines.emplace_back(text);
            break;
        }
        lines.emplace_back(text.substr(0, lineEnd));
        text.remove_prefix(lineEnd + 2);
    }
    return lines;
}

std::string KanaDump(std::span<const uint8_t> block, unsigned stringCount, bool inserted, const CodeMaps& maps) {
    std::string dump;
    for (unsigned i = 0; i < stringCount; ++i) {
        dump += EntrySearchText(static_cast<int>(i));
        dump += '\n';
        const ResolvedString resolved = ResolveString(block, i, inserted);
        switch (resolved.kind) {
            case ResolvedKind::GameString:
                for (const std::string& line : KanaTextLines(DecodeGameStringToText(resolved.string, maps))) {
                    dump += line;
                    dump += '\n';
                }
                break;
            case ResolvedKind::HackedText:
                dump += kInsertedBlockLine;
                dump += '\n';
                break;
            case ResolvedKind::NonText:
                dump += kNonTextMessage;
                dump += '\n';
                break;
        }
        dump += kClosingKeyword;
        dump += "\n\n";
    }
    return dump;
}

}  // namespace corv::script
