#include "patches/patch_messages.h"

#include <cstdio>

namespace corv::patches {
namespace {

constexpr char kNotApplied[] = " This file was not applied.";
constexpr char kNothingApplied[] = " No patching performed.";

std::string hex(uint32_t value, const char* format = "%08X") {
    char text[16];
    std::snprintf(text, sizeof text, format, unsigned(value));
    return text;
}

std::string ipsRefusal(IpsStatus status) {
    switch (status) {
    case IpsStatus::Applied: return {};
    case IpsStatus::NotPatch: return "Not a valid \"PATCH\" file!";
    case IpsStatus::Truncated: return std::string("The PATCH file ends in the middle of a record.") + kNotApplied;
    case IpsStatus::NoEndMarker:
        return std::string("The PATCH file ends without its EOF marker; it may be cut short.") + kNotApplied;
    case IpsStatus::Damaged:
        return std::string("The PATCH file has unexpected bytes after its EOF marker.") + kNotApplied;
    }
    return {};
}

}  // namespace

std::string BpsMessage(const BpsFileApplication& refused, uint32_t headerSize) {
    switch (refused.status) {
    case BpsStatus::Applied:
    case BpsStatus::NotBps: return {};
    case BpsStatus::Truncated: return "The BPS file is too short to hold a patch; it may be cut short.";
    case BpsStatus::Damaged: return "The BPS file is damaged or cut short: its checksum does not match its bytes.";
    case BpsStatus::TooLarge: return "The BPS file describes a ROM larger than 64 MiB.";
    case BpsStatus::WrongSource:
        if (refused.alreadyPatched) return "This ROM already is what the BPS file makes: it was applied before.";
        return "The BPS file was made for another ROM: " + WrongRomText(refused, headerSize) + ".";
    case BpsStatus::BadAction: return "The BPS file is damaged: it reads or writes past the end of a file.";
    case BpsStatus::WrongTarget:
        return "The BPS file does not give the ROM it names: the result's CRC32 is not the patch's.";
    }
    return {};
}

std::string WrongRomText(const BpsFileApplication& refused, uint32_t headerSize) {
    std::string text = "this patch is for a ROM whose CRC32 is " + hex(refused.header.sourceCrc) + "; yours is " +
                       hex(refused.fileCrc);
    if (headerSize != 0) text += " (" + hex(refused.dataCrc) + " without its 512-byte copier header)";
    return text;
}

std::string HeaderCrossingNote(BpsMadeFor madeFor) {
    switch (madeFor) {
    case BpsMadeFor::ThisFile: return {};
    case BpsMadeFor::RomWithoutHeader:
        return "The BPS file was made for the ROM without a copier header: it was applied to the ROM after its "
               "512-byte copier header, which is kept.";
    case BpsMadeFor::RomWithHeader:
        return "The BPS file was made for the ROM with a 512-byte copier header: it was applied as if the ROM had "
               "one, and the ROM stays without.";
    }
    return {};
}

std::string PatchMessage(const PatchOutcome& outcome) {
    const std::string file = outcome.format == PatchFormat::Bps ? "The BPS file" : "The PATCH file";
    switch (outcome.status) {
    case PatchStatus::Applied: {
        std::string notes;
        for (const HeaderCrossing& crossing : outcome.crossings) notes += HeaderCrossingNote(crossing.madeFor) + "\n";
        return notes + "Patching is complete! Remember to SAVE the changes!";
    }
    case PatchStatus::NoRom: return {};
    case PatchStatus::CannotOpen: return "File not found or is invalid. No patching performed.";
    case PatchStatus::NotAPatch: return "Not a valid \"PATCH\" file!";
    case PatchStatus::IpsRefused: return ipsRefusal(outcome.ips);
    case PatchStatus::BpsRefused: return BpsMessage(outcome.bps, outcome.headerSize) + kNotApplied;
    case PatchStatus::BreaksBlock: {
        std::string text = file + " breaks block " + hex(outcome.brokenBlock, "%X") +
                           ": its header no longer passes its check.";
        if (outcome.madeForOtherHeader) {
            text += std::string(" The patch was probably made for a ROM ") +
                    (outcome.headerSize == 0 ? "with" : "without") + " a 512-byte copier header.";
        }
        return text + kNothingApplied;
    }
    case PatchStatus::NotThisGame:
        if (outcome.gameCheck == IpsGameCheck::TitleOverwritten) {
            return file + " would overwrite the ROM's internal title, so the ROM would no longer open." +
                   kNothingApplied;
        }
        return file + " would make the ROM " + std::to_string(outcome.patchedSize) +
               " bytes long, which changes its copier header, so the ROM would no longer open." + kNothingApplied;
    }
    return {};
}

}  // namespace corv::patches
