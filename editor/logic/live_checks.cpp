#include "editor/logic/live_checks.h"

#include <algorithm>
#include <cctype>

#include "check/block_check.h"
#include "check/block_findings.h"
#include "core/ascii.h"
#include "script/entry_words.h"
#include "script/script_file.h"
#include "script/string_record.h"

namespace corv::editor {
namespace {

// Moves the script lines that findings name after line `oldLastLine` (0-based) by `delta`; true
// when one moved.
bool ShiftNamedScriptLines(std::vector<check::Finding>& findings, int oldLastLine, int delta) {
    bool moved = false;
    for (check::Finding& finding : findings) {
        const bool namesLine = finding.kind == check::FindingKind::DuplicateEntry ||
                               finding.kind == check::FindingKind::StrayClosingLine;
        if (!namesLine || finding.amount - 1 <= oldLastLine) continue;
        finding.amount += delta;
        moved = true;
    }
    return moved;
}

// Moves an entry's lines (opening line, last line, closed) past an edit of the old lines
// firstLine to oldLastLine that added `delta` lines (`scriptLastLine`: the new text's last line);
// true when the edit lies in the entry.
bool FollowEdit(int& openingLine, int& lastLine, bool closed, int firstLine, int oldLastLine, int delta,
                int scriptLastLine) {
    if (openingLine < 0) return false;
    if (openingLine > oldLastLine) {
        openingLine += delta;
        lastLine = closed ? lastLine + delta : scriptLastLine;
        return false;
    }
    if (closed && lastLine < firstLine) return false;
    lastLine = closed ? lastLine + delta : scriptLastLine;
    return true;
}

}  // namespace

std::vector<int> EntryOpeningLines(std::string_view text, unsigned count) {
    // The entry search for ".STRING n" ignores case and matches inside a line, so ".STRING 12"
    // also holds the search texts of strings 1 and 12 (not of 2): every run of digits after
    // ".string " stands for each of its leading parts that is a number as the search writes it.
    constexpr size_t kOpeningSize = script::kOpeningKeyword.size() + 1;  // and the blank after it
    std::vector<int> lines(count, -1);
    int line = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') {
            ++line;
            continue;
        }
        if (text[at] != '.' || at + kOpeningSize >= text.size()) continue;
        if (text[at + kOpeningSize - 1] != ' ' || !core::StartsWithIgnoringCase(text.substr(at), script::kOpeningKeyword)) {
            continue;
        }
        const size_t digits = at + kOpeningSize;
        uint64_t number = 0;
        for (size_t d = digits; d < text.size() && text[d] >= '0' && text[d] <= '9'; ++d) {
            if (d > digits && text[digits] == '0') break;  // "0" is written without leading zeros
            number = number * 10 + uint64_t(text[d] - '0');
            if (number >= count) break;
            const auto slot = static_cast<size_t>(number);  // below count
            if (lines[slot] < 0) lines[slot] = line;
        }
    }
    return lines;
}

namespace {

bool sameFindings(const std::vector<check::Finding>& a, const std::vector<check::Finding>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const check::Finding& x, const check::Finding& y) {
        return x.kind == y.kind && x.line == y.line && x.amount == y.amount && x.code == y.code &&
               x.subject == y.subject;
    });
}

StringState stateOf(const std::vector<check::Finding>& findings, bool hasText) {
    const auto has = [&](check::Severity severity) {
        return std::any_of(findings.begin(), findings.end(),
                           [&](const check::Finding& finding) { return check::SeverityOf(finding.kind) == severity; });
    };
    if (has(check::Severity::Error)) return StringState::Error;
    if (!hasText) return StringState::Untranslated;
    return has(check::Severity::Warning) ? StringState::Warning : StringState::Translated;
}

}  // namespace

bool IsProblem(const LiveString& string, const check::Finding& finding) {
    const bool workToDo =
        finding.kind == check::FindingKind::EmptyTranslation || finding.kind == check::FindingKind::DroppedCode;
    return string.state != StringState::Untranslated || !workToDo;
}

bool HasProblems(const LiveString& string) {
    return std::any_of(string.findings.begin(), string.findings.end(),
                       [&](const check::Finding& finding) { return IsProblem(string, finding); });
}

LiveChecks::LiveChecks() = default;
LiveChecks::~LiveChecks() = default;

void LiveChecks::open(const LiveBlock& block, std::string_view text, const script::TableFile* table,
                      const check::BoxMetrics& box, insert::InsertionCompressor compressor) {
    const std::span<const uint8_t> lower = block.buffer->lower();
    blockBytes_.assign(lower.begin(), lower.end());
    block_ = block.info;
    inserted_ = block.inserted;
    roomFromLastInsertion_ = block.roomFromLastInsertion;
    fit_ = std::make_unique<check::BlockFit>(block.romData, *block.buffer, block.info, block.endOfRoom);
    tableLoaded_ = table != nullptr;
    table_ = tableLoaded_ ? *table : script::TableFile();
    box_ = box;
    compressor_ = compressor;
    text_.assign(text);
    script_.setText(text_);

    strings_.clear();
    textRecords_.clear();
    stringSlot_.assign(block.info.stringCount, -1);
    const std::vector<check::EncodedEntry>& entries = fit_->entries();
    for (unsigned n = 0; n < entries.size(); ++n) {
        if (!entries[n].text) continue;
        stringSlot_[n] = int(strings_.size());
        strings_.push_back({});
        strings_.back().number = n;
        textRecords_.push_back(n);
    }
    // Which strings share a text depends on the block's bytes only: worked out once.
    sharers_ = check::EarliestSharers(blockBytes_, entries);
    sharedBy_.assign(entries.size(), {});
    for (unsigned n = 0; n < sharers_.size(); ++n) {
        if (sharers_[n]) sharedBy_[*sharers_[n]].push_back(n);
    }
    checkAll();
    markBaseline();
}

void LiveChecks::close() {
    fit_.reset();
    strings_.clear();
    changed_.clear();
    stringSlot_.clear();
    textRecords_.clear();
    sharers_.clear();
    sharedBy_.clear();
    stray_.clear();
    roomFromLastInsertion_ = false;
    baseline_.clear();
    figures_ = {};
    text_.clear();
    script_.setText({});
}

void LiveChecks::setCompressor(insert::InsertionCompressor compressor) {
    compressor_ = compressor;
    if (fit_) computeFigures();
}

LiveChecks::EntrySpan LiveChecks::spanOfEntry(int opening) const {
    if (opening < 0) return {};
    const script::EntryCopy copy = script::CopyEntry(script_, opening);
    return {opening, copy.closed ? opening + int(copy.lines.size()) - 1 : script_.lineCount() - 1, copy.closed};
}

void LiveChecks::findEntry(LiveString& string, int opening) {
    const EntrySpan span = spanOfEntry(opening);
    string.openingLine = span.openingLine;
    string.lastLine = span.lastLine;
    string.closed = span.closed;
}

void LiveChecks::checkString(LiveString& string) {
    const check::EncodedEntry& encoded = fit_->entries()[string.number];
    const check::StringSource source = check::SourceOfString(blockBytes_, inserted_, string.number, encoded);
    string.entryFindings = check::CheckString(source, script_, table_, box_);
    string.encodedLength = encoded.bytes.size();
    string.hasText = encoded.holdsText;
}

void LiveChecks::gatherFindings(LiveString& string) const {
    string.findings = string.entryFindings;
    if (const std::optional<unsigned> first = sharers_[string.number]) {
        if (auto shared = check::SharedTextFinding(string.number, *first, fit_->entries(), string.entryFindings)) {
            string.findings.push_back(std::move(*shared));
        }
    }
    for (const check::StrayLine& stray : stray_) {
        if (check::StrayLineOwner(stray, textRecords_) == string.number) {
            string.findings.push_back(check::StrayLineFinding(stray, string.number, block_.stringCount));
        }
    }
    string.state = stateOf(string.findings, string.hasText);
}

void LiveChecks::checkAll() {
    ++fullChecks_;
    fit_->encodeAll(script_, table_);
    const std::vector<int> openings = EntryOpeningLines(text_, block_.stringCount);
    changed_.clear();
    for (LiveString& string : strings_) {
        findEntry(string, openings[string.number]);
        checkString(string);
        changed_.push_back(string.number);
    }
    otherEntries_.clear();
    for (unsigned n = 0; n < openings.size(); ++n) {
        if (stringSlot_[n] < 0 && openings[n] >= 0) otherEntries_.push_back(spanOfEntry(openings[n]));
    }
    stray_ = check::FindStrayLines(script_, block_.stringCount);
    for (LiveString& string : strings_) gatherFindings(string);
    computeFigures();
}

void LiveChecks::computeFigures() {
    using insert::InsertionCompressor;
    const bool maximising = compressor_ == InsertionCompressor::Maximising;
    figures_ = fit_->figures(maximising ? core::Compressor::Maximising : core::Compressor::Standard);
    if (compressor_ == InsertionCompressor::MaximisingWhenOver &&
        figures_.outcome == insert::InsertionOutcome::DoesNotFit) {
        figures_ = fit_->figures(core::Compressor::Maximising);
    }
}

bool LiveChecks::touchesStructure(int firstLine, int oldLastLine, int newLastLine) const {
    const auto inChange = [&](int line) { return line >= firstLine && line <= oldLastLine; };
    for (const LiveString& string : strings_) {
        if (string.openingLine < 0) continue;
        if (inChange(string.openingLine) || (string.closed && inChange(string.lastLine))) return true;
    }
    for (int line = firstLine; line <= newLastLine; ++line) {
        const std::string text = script_.line(line);
        if (script::HoldsOpeningKeyword(text) || script::IsEntryClosingLine(text)) return true;
    }
    return false;
}

bool LiveChecks::update(std::string_view text) {
    if (!fit_ || text == text_) return false;
    // The changed part: what lies between the common start and the common end of both texts.
    const size_t shorter = std::min(text.size(), text_.size());
    const size_t prefix = size_t(std::mismatch(text.begin(), text.begin() + ptrdiff_t(shorter), text_.begin()).first -
                                 text.begin());
    size_t suffix = 0;
    while (suffix < shorter - prefix && text[text.size() - 1 - suffix] == text_[text_.size() - 1 - suffix]) ++suffix;

    const int firstLine = script_.lineOfPosition(prefix);
    const int oldLastLine = script_.lineOfPosition(text_.size() - suffix);
    // A keyword line taken away that opened or closed no entry (a second ".ENDS") changes the
    // findings of the entry before it too.
    bool removesKeywordLine = false;
    for (int line = firstLine; line <= oldLastLine && !removesKeywordLine; ++line) {
        const std::string old = script_.line(line);
        removesKeywordLine = script::HoldsOpeningKeyword(old) || script::IsEntryClosingLine(old);
    }
    // Only the changed part is replaced: the lines around it move without being read again.
    const std::string_view added = text.substr(prefix, text.size() - suffix - prefix);
    const size_t removed = text_.size() - suffix - prefix;
    text_.replace(prefix, removed, added);
    script_.replace(prefix, removed, added);
    const int newLastLine = script_.lineOfPosition(text_.size() - suffix);
    const int delta = newLastLine - oldLastLine;

    if (removesKeywordLine || touchesStructure(firstLine, oldLastLine, newLastLine)) {
        checkAll();
        return true;
    }
    // Every entry keeps its opening and closing line: those after the change move by the lines it
    // added or removed, and the entries that hold changed lines are checked again.
    const int lastLine = script_.lineCount() - 1;
    std::vector<unsigned> touched;  // strings whose findings may have changed, by record number
    // Findings that name a script line (a second entry, a second closing line) follow the lines
    // the change moved, whichever entry holds them.
    if (delta != 0) {
        for (LiveString& string : strings_) {
            if (ShiftNamedScriptLines(string.entryFindings, oldLastLine, delta)) touched.push_back(string.number);
        }
    }
    for (EntrySpan& entry : otherEntries_) {
        (void)FollowEdit(entry.openingLine, entry.lastLine, entry.closed, firstLine, oldLastLine, delta, lastLine);
    }
    for (LiveString& string : strings_) {
        if (!FollowEdit(string.openingLine, string.lastLine, string.closed, firstLine, oldLastLine, delta, lastLine)) {
            continue;
        }
        ++entryChecks_;
        fit_->updateEntry(string.number, script_, table_);
        checkString(string);
        touched.push_back(string.number);
        // The strings sharing its text compare their entries with this one.
        touched.insert(touched.end(), sharedBy_[string.number].begin(), sharedBy_[string.number].end());
    }
    const std::vector<check::StrayLine> oldStray = stray_;
    if (updateStrayLines(firstLine, oldLastLine, newLastLine)) {
        for (const check::StrayLine& stray : oldStray) touched.push_back(check::StrayLineOwner(stray, textRecords_));
        for (const check::StrayLine& stray : stray_) touched.push_back(check::StrayLineOwner(stray, textRecords_));
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    changed_.clear();
    for (const unsigned number : touched) {
        LiveString& string = strings_[size_t(stringSlot_[number])];
        const StringState state = string.state;
        const std::vector<check::Finding> findings = std::move(string.findings);
        gatherFindings(string);
        if (string.state != state || !sameFindings(string.findings, findings)) changed_.push_back(string.number);
    }
    computeFigures();
    return true;
}

bool LiveChecks::updateStrayLines(int firstLine, int oldLastLine, int newLastLine) {
    // A line becomes or stops being a stray line only when it is edited (the entries'
    // opening and closing lines stay as they were here); lines after the change only move.
    bool edited = false;
    for (const check::StrayLine& stray : stray_) {
        edited |= stray.scriptLine - 1 >= firstLine && stray.scriptLine - 1 <= oldLastLine;
    }
    // A line inside an entry is the entry's text whatever it holds, so typing into a translation
    // never reads the whole script again.
    for (int line = firstLine; line <= newLastLine && !edited; ++line) {
        edited = !check::IsBlankOrCommentLine(script_.line(line)) && !insideEntry(line);
    }
    if (edited) {
        ++strayScans_;
        std::vector<check::StrayLine> found = check::FindStrayLines(script_, block_.stringCount);
        const bool same = std::equal(found.begin(), found.end(), stray_.begin(), stray_.end(),
                                     [](const check::StrayLine& a, const check::StrayLine& b) {
                                         return a.scriptLine == b.scriptLine && a.afterString == b.afterString &&
                                                a.text == b.text && a.kind == b.kind;
                                     });
        stray_ = std::move(found);
        return !same;
    }
    const int delta = newLastLine - oldLastLine;
    bool moved = false;
    for (check::StrayLine& stray : stray_) {
        if (delta == 0 || stray.scriptLine - 1 <= oldLastLine) continue;
        stray.scriptLine += delta;
        moved = true;
    }
    return moved;
}

bool LiveChecks::insideEntry(int line) const {
    // An entry left open ends nowhere for sure, so only closed ones answer.
    const auto holds = [line](bool closed, int opening, int last) { return closed && line > opening && line < last; };
    return std::any_of(strings_.begin(), strings_.end(),
                       [&](const LiveString& string) { return holds(string.closed, string.openingLine, string.lastLine); }) ||
           std::any_of(otherEntries_.begin(), otherEntries_.end(),
                       [&](const EntrySpan& entry) { return holds(entry.closed, entry.openingLine, entry.lastLine); });
}

const LiveString* LiveChecks::string(unsigned number) const {
    if (number >= stringSlot_.size() || stringSlot_[number] < 0) return nullptr;
    return &strings_[size_t(stringSlot_[number])];
}

std::vector<std::string> LiveChecks::entryLines(unsigned number) const {
    std::vector<std::string> lines;
    const LiveString* entry = string(number);
    if (entry == nullptr || entry->openingLine < 0) return lines;
    const int end = entry->closed ? entry->lastLine : entry->lastLine + 1;
    for (int line = entry->openingLine + 1; line < end; ++line) lines.push_back(script_.line(line));
    return lines;
}

size_t LiveChecks::translatedCount() const {
    return size_t(std::count_if(strings_.begin(), strings_.end(),
                                [](const LiveString& string) { return string.hasText; }));
}

void LiveChecks::markBaseline() {
    baseline_.clear();
    for (const LiveString& string : strings_) baseline_.push_back(string.encodedLength);
}

std::vector<Growth> LiveChecks::grownMost(size_t count) const {
    std::vector<Growth> grown;
    for (size_t k = 0; k < strings_.size() && k < baseline_.size(); ++k) {
        const int64_t bytes = int64_t(strings_[k].encodedLength) - int64_t(baseline_[k]);
        if (bytes > 0) grown.push_back({strings_[k].number, bytes});
    }
    std::stable_sort(grown.begin(), grown.end(), [](const Growth& a, const Growth& b) { return a.bytes > b.bytes; });
    if (grown.size() > count) grown.resize(count);
    return grown;
}

}  // namespace corv::editor
