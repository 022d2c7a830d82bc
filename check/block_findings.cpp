#include "check/block_findings.h"

#include <algorithm>
#include <unordered_map>

#include "script/string_record.h"

namespace corv::check {

std::vector<std::optional<unsigned>> EarliestSharers(std::span<const uint8_t> blockBytes,
                                                     const std::vector<EncodedEntry>& entries) {
    std::vector<std::optional<unsigned>> sharers(entries.size());
    std::unordered_map<uint16_t, unsigned> firstAt;
    for (unsigned n = 0; n < entries.size(); ++n) {
        if (!entries[n].text) continue;
        const auto [at, added] = firstAt.try_emplace(script::RecordTextPointer(blockBytes, n), n);
        if (!added) sharers[n] = at->second;
    }
    return sharers;
}

std::optional<Finding> SharedTextFinding(unsigned later, unsigned first, const std::vector<EncodedEntry>& entries,
                                         std::span<const Finding> laterFindings) {
    const bool empty = std::any_of(laterFindings.begin(), laterFindings.end(),
                                   [](const Finding& finding) { return finding.kind == FindingKind::EmptyTranslation; });
    if (entries[later].missing || empty || entries[first].bytes == entries[later].bytes) return std::nullopt;
    return Finding{FindingKind::SharedTextDiffers, later, 0, int(first), 0, {}};
}

unsigned StrayLineOwner(const StrayLine& stray, std::span<const unsigned> textRecords) {
    if (!stray.afterString) return textRecords.front();
    const auto after = std::upper_bound(textRecords.begin(), textRecords.end(), *stray.afterString);
    return after == textRecords.begin() ? textRecords.front() : *(after - 1);
}

Finding StrayLineFinding(const StrayLine& stray, unsigned owner, unsigned stringCount) {
    switch (stray.kind) {
    case StrayKind::Text: return {FindingKind::TextOutsideEntry, owner, 0, stray.scriptLine, 0, stray.text};
    case StrayKind::PastBlock:
        return {FindingKind::EntryPastBlock, owner, 0, stray.scriptLine, 0, stray.text, stringCount};
    case StrayKind::MistypedKeyword: break;
    }
    return {FindingKind::StrayKeywordLine, owner, 0, stray.scriptLine, 0, stray.text};
}

}  // namespace corv::check
