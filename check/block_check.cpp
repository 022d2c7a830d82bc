#include "check/block_check.h"

#include <algorithm>

#include "check/block_findings.h"
#include "check/entry_structure.h"
#include "check/translated_string.h"
#include "script/entry_words.h"
#include "script/kana_dump.h"
#include "script/script_encoder.h"
#include "script/string_decoder.h"
#include "script/string_record.h"

namespace corv::check {
namespace {

void AddSharedTextFindings(BlockReport& report, std::span<const uint8_t> block, const std::vector<EncodedEntry>& entries) {
    const std::vector<std::optional<unsigned>> sharers = EarliestSharers(block, entries);
    for (StringReport& later : report.strings) {
        const std::optional<unsigned> first = sharers[later.number];
        if (!first) continue;
        if (auto finding = SharedTextFinding(later.number, *first, entries, later.findings)) {
            later.findings.push_back(std::move(*finding));
        }
    }
}

void AddStrayLineFindings(BlockReport& report, const script::ScriptText& script, unsigned stringCount) {
    if (report.strings.empty()) return;
    std::vector<unsigned> numbers;
    for (const StringReport& string : report.strings) numbers.push_back(string.number);
    for (const StrayLine& stray : FindStrayLines(script, stringCount)) {
        const unsigned owner = StrayLineOwner(stray, numbers);
        const auto at = std::lower_bound(numbers.begin(), numbers.end(), owner);
        report.strings[size_t(at - numbers.begin())].findings.push_back(StrayLineFinding(stray, owner, stringCount));
    }
}

}  // namespace

size_t BlockReport::count(Severity severity) const {
    size_t total = 0;
    for (const StringReport& string : strings) {
        total += size_t(std::count_if(string.findings.begin(), string.findings.end(),
                                      [&](const Finding& finding) { return SeverityOf(finding.kind) == severity; }));
    }
    return total;
}

size_t BlockReport::translatedCount() const {
    return size_t(std::count_if(strings.begin(), strings.end(), [](const StringReport& string) { return string.translated; }));
}

bool OverOrTight(uint64_t needed, int64_t room) { return (room - int64_t(needed)) * 16 < int64_t(needed); }

StringSource SourceOfString(std::span<const uint8_t> blockBytes, bool inserted, unsigned n, const EncodedEntry& encoded) {
    const uint16_t pointer = script::RecordTextPointer(blockBytes, n);
    const std::span<const uint8_t> at = blockBytes.subspan(std::min<size_t>(pointer, blockBytes.size()));
    StringSource source;
    source.number = n;
    source.encoded = &encoded;
    if (inserted) {
        source.romBytes = at;
    } else {
        source.gameString = at;
    }
    return source;
}

BlockReport CheckBlock(std::span<const uint8_t> romData, const script::TextBlock& block, script::ScriptText& script,
                       const script::TableFile& table, const BoxMetrics& box, insert::UntranslatedEntries untranslated) {
    BlockReport report;
    report.inserted = block.inserted;
    report.roomFromLastInsertion = block.inserted && !block.endGiven;
    BlockFit fit(romData, *block.buffer, block.info, block.end, untranslated);
    fit.encodeAll(script, table);
    report.fit = fit.figures();
    const bool compressed =
        report.fit.outcome == insert::InsertionOutcome::Inserted || report.fit.outcome == insert::InsertionOutcome::DoesNotFit;
    if (compressed && OverOrTight(report.fit.needed, report.fit.room)) {
        report.maximised = fit.figures(core::Compressor::Maximising);
    }

    const std::span<const uint8_t> bytes = block.bytes();
    const auto& entries = fit.entries();
    for (unsigned n = 0; n < entries.size(); ++n) {
        if (!entries[n].text) continue;
        const StringSource source = SourceOfString(bytes, block.inserted, n, entries[n]);
        report.strings.push_back({n, entries[n].bytes.size(), CheckString(source, script, table, box), entries[n].holdsText});
    }
    AddSharedTextFindings(report, bytes, entries);
    AddStrayLineFindings(report, script, block.info.stringCount);
    return report;
}

std::string ReadBackScript(const script::TextBlock& block, const script::TableFile& table) {
    const std::span<const uint8_t> bytes = block.bytes();
    const std::span<const uint8_t> data = bytes.first(std::min<size_t>(block.info.length, bytes.size()));
    std::string script;
    for (unsigned n = 0; n < block.info.stringCount; ++n) {
        script += script::EntrySearchText(int(n)) + "\n";
        if (script::RecordType(bytes, n) != script::kTextRecordType) {
            script += std::string(script::kNonTextMessage) + "\n";
        } else {
            const size_t pointer = std::min<size_t>(script::RecordTextPointer(bytes, n), data.size());
            for (const std::string& line : ReadBackLines(ReadTranslatedString(data.subspan(pointer)), table)) {
                script += line + "\n";
            }
        }
        script += script::kClosingKeyword;
        script += "\n\n";
    }
    return script;
}

}  // namespace corv::check
