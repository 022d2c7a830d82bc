#include "tools/corvtool/check_report.h"

#include <cstdio>
#include <ostream>

#include "core/ascii.h"
#include "check/finding_text.h"

namespace corv::tool {
namespace {

using check::Finding;
using check::FindingKind;
using check::Severity;

}  // namespace

const char* FindingKindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::EntryMissing: return "entry-missing";
    case FindingKind::WrongEntry: return "wrong-entry";
    case FindingKind::EntryNotClosed: return "entry-not-closed";
    case FindingKind::UnclosedEscape: return "unclosed-escape";
    case FindingKind::EmptyTranslation: return "empty-translation";
    case FindingKind::UnknownBracketWord: return "unknown-bracket-word";
    case FindingKind::MissingGlyph: return "missing-glyph";
    case FindingKind::SwappedEscape: return "swapped-escape";
    case FindingKind::DroppedCode: return "dropped-code";
    case FindingKind::AddedCode: return "added-code";
    case FindingKind::LineTooWide: return "line-too-wide";
    case FindingKind::LineBeyondBox: return "line-beyond-box";
    case FindingKind::RomDiffers: return "rom-differs";
    case FindingKind::CodeCharacter: return "code-character";
    case FindingKind::EntryRunsOn: return "entry-runs-on";
    case FindingKind::StrayKeywordLine: return "stray-keyword-line";
    case FindingKind::TextOutsideEntry: return "text-outside-entry";
    case FindingKind::EntryPastBlock: return "entry-past-block";
    case FindingKind::TrailingLineBreak: return "trailing-line-break";
    case FindingKind::SharedTextDiffers: return "shared-text-differs";
    case FindingKind::EntryTooLong: return "entry-too-long";
    case FindingKind::CodeWithoutParameters: return "code-without-parameters";
    case FindingKind::EscapedEndMark: return "escaped-end-mark";
    case FindingKind::DuplicateEntry: return "duplicate-entry";
    case FindingKind::StrayClosingLine: return "stray-closing-line";
    case FindingKind::SharedByte: return "shared-byte";
    }
    return "";
}

namespace {

// JSON strings hold script bytes, which need not be UTF-8: bytes from 0x80 up are written as
// the code points of the same value.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\u" + core::HexText(byte, 4);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* outcomeName(insert::InsertionOutcome outcome) {
    using insert::InsertionOutcome;
    switch (outcome) {
    case insert::InsertionOutcome::Inserted: return "fits";
    case insert::InsertionOutcome::DoesNotFit: return "does-not-fit";
    case insert::InsertionOutcome::LayoutTooLarge: return "too-large";
    case insert::InsertionOutcome::BadOldHeader: return "bad-header";
    case insert::InsertionOutcome::PointerError: return "pointer-error";
    case insert::InsertionOutcome::EndOfTextNotFound: return "end-not-found";
    case insert::InsertionOutcome::NoStrings: return "no-strings";
    default: return "not-inserted";
    }
}

}  // namespace

std::string DescribeMaximisedFit(uint32_t address, const check::FitFigures& maximised) {
    return "BLOCK " + core::HexText(address, 1) + ": with --maximise needs " + std::to_string(maximised.needed) + " bytes, " +
           check::LeftOrOverText(maximised.left());
}

std::string JsonString(const std::string& text) { return jsonString(text); }

std::string DescribeFit(uint32_t address, const check::FitFigures& fit) {
    return "BLOCK " + core::HexText(address, 1) + ": " + check::FitText(fit);
}

std::string DescribeRoomFromLastInsertion(uint32_t address, int64_t room) {
    return "BLOCK " + core::HexText(address, 1) + ": " + check::RoomFromLastInsertionText(room);
}

std::string DescribeTranslatedCount(const check::BlockReport& report) {
    return std::to_string(report.translatedCount()) + " of " + std::to_string(report.strings.size()) +
           " strings translated";
}

void PrintReportText(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box, const TextReportOptions& options) {
    size_t romDiffers = 0;
    for (const check::StringReport& string : report.strings) {
        for (const Finding& finding : string.findings) {
            // A script in the making is mostly empty entries: the count below says how far it is.
            if (finding.kind == FindingKind::EmptyTranslation && !options.verbose) continue;
            out << "STRING " << string.number << ": " << check::DescribeFinding(finding, box) << '\n';
            if (finding.kind == FindingKind::RomDiffers) ++romDiffers;
        }
    }
    if (report.inserted) {
        out << "ROM: " << report.strings.size() - romDiffers << " of " << report.strings.size()
            << " strings equal the script's encoding\n";
    }
    if (options.untranslated) {
        out << "not translated yet:";
        size_t listed = 0;
        for (const check::StringReport& string : report.strings) {
            if (string.translated) continue;
            out << ' ' << string.number;
            ++listed;
        }
        out << (listed == 0 ? " none\n" : "\n");
    }
    out << DescribeTranslatedCount(report) << '\n';
    if (report.roomFromLastInsertion) out << DescribeRoomFromLastInsertion(address, report.fit.room) << '\n';
    if (report.maximised) out << DescribeMaximisedFit(address, *report.maximised) << '\n';
    out << DescribeFit(address, report.fit) << '\n';
}

void PrintReportJson(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box) {
    out << "{\"block\": " << jsonString(core::HexText(address, 1)) << ", \"outcome\": \"" << outcomeName(report.fit.outcome)
        << "\", \"needed\": " << report.fit.needed << ", \"room\": " << report.fit.room
        << ", \"left\": " << report.fit.left() << ", \"inserted\": " << (report.inserted ? "true" : "false")
        << (report.maximised ? ", \"maximisedNeeded\": " + std::to_string(report.maximised->needed) +
                                   ", \"maximisedLeft\": " + std::to_string(report.maximised->left())
                             : std::string())
        << ", \"translated\": " << report.translatedCount()
        << ", \"roomFromLastInsertion\": " << (report.roomFromLastInsertion ? "true" : "false")
        << ", \"errors\": " << report.count(Severity::Error) << ", \"warnings\": " << report.count(Severity::Warning)
        << ",\n \"summary\": " << jsonString(DescribeFit(address, report.fit)) << ",\n \"strings\": [";
    for (size_t i = 0; i < report.strings.size(); ++i) {
        const check::StringReport& string = report.strings[i];
        out << (i > 0 ? ",\n  " : "\n  ") << "{\"string\": " << string.number
            << ", \"encodedLength\": " << string.encodedLength << ", \"findings\": [";
        for (size_t k = 0; k < string.findings.size(); ++k) {
            const Finding& finding = string.findings[k];
            out << (k > 0 ? ", " : "") << "{\"severity\": \"" << check::SeverityName(check::SeverityOf(finding.kind))
                << "\", \"kind\": \"" << FindingKindName(finding.kind) << "\", \"line\": " << finding.line
                << ", \"message\": " << jsonString(check::FindingMessage(finding, box, check::FindingCharacters::Bytes)) << "}";
        }
        out << "]}";
    }
    out << "\n ]}\n";
}

}  // namespace corv::tool
