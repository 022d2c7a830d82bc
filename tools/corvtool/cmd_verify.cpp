// corvtool verify ROM [--project PROJECT | --patch X.bps]: the size, CRC-32, MD5 and SHA-1 of a
// ROM file, whole and without its copier header, and whether it is the original the project
// builds from (its data the same as the project's ROM's) or the one a BPS patch was made for
// (by the patch's source checksum, with or without the copier header): the check a player or a
// tester runs before patching. Only reads.
//
// Exit codes: 0 the ROM is that original (or nothing to compare with was given); 2 it is not,
// or a file cannot be read or is no BPS patch; 3 usage.

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "core/rom_image.h"
#include "patches/bps_file.h"
#include "patches/patch_messages.h"
#include "patches/rom_identity.h"
#include "patches/rom_patcher.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

constexpr std::string_view kUsage = "ROM [--project PROJECT | --patch X.bps]";

std::string crcText(uint32_t crc) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", unsigned(crc));
    return text;
}

void printIdentity(std::ostream& out, std::string_view what, const patches::FileIdentity& identity) {
    out << "  " << what << identity.size << " bytes  CRC32 " << crcText(identity.crc32) << "  MD5 "
        << patches::DigestHex(identity.md5) << "  SHA-1 " << patches::DigestHex(identity.sha1) << '\n';
}

void printRom(std::ostream& out, const core::RomImage& rom, const patches::RomIdentity& identity) {
    out << rom.path().string() << ": " << rom.size() << " bytes, "
        << (rom.headerSize() ? "with a 512-byte copier header" : "no copier header") << '\n';
    printIdentity(out, "whole file      ", identity.file);
    if (identity.withoutHeader) printIdentity(out, "without header  ", *identity.withoutHeader);
}

int verifyAgainstPatch(const core::RomImage& rom, const std::string& patchPath, std::ostream& out, std::ostream& err) {
    const std::optional<std::vector<uint8_t>> patch = patches::ReadPatchFile(patchPath);
    if (!patch) {
        FileError(err, "verify", patchPath) << "cannot read this file\n";
        return kExitBadInput;
    }
    if (patches::PatchFormatOf(*patch) == patches::PatchFormat::Ips) {
        FileError(err, "verify", patchPath)
            << "an IPS patch names no ROM (it carries no checksum); only a BPS patch can be checked against\n";
        return kExitBadInput;
    }
    patches::BpsFileApplication read;
    const patches::BpsRead header = patches::ReadBpsPatch(*patch);
    read.status = header.status;
    read.header = header.header;
    if (read.status != patches::BpsStatus::Applied) {
        FileError(err, "verify", patchPath)
            << (read.status == patches::BpsStatus::NotBps ? std::string("not a BPS patch")
                                                          : patches::BpsMessage(read, rom.headerSize()))
            << '\n';
        return kExitBadInput;
    }
    out << patchPath << ": for a ROM of " << read.header.sourceSize << " bytes whose CRC32 is "
        << crcText(read.header.sourceCrc) << "; it makes " << read.header.targetSize << " bytes, CRC32 "
        << crcText(read.header.targetCrc) << '\n';
    const std::optional<patches::BpsSourceMatch> match =
        patches::FindBpsSource(rom.fileBytes(), rom.headerSize(), read.header);
    if (!match) {
        const patches::RomIdentity identity = patches::IdentifyRom(rom.fileBytes(), rom.headerSize());
        read.status = patches::BpsStatus::WrongSource;
        read.fileCrc = identity.file.crc32;
        read.dataCrc = identity.data().crc32;
        FileError(err, "verify", rom.path().string())
            << (patches::IsBpsTarget(rom.fileBytes(), rom.headerSize(), read.header)
                    ? "already the ROM this patch makes, not the one it was made for"
                    : "not the ROM this patch was made for: " + patches::WrongRomText(read, rom.headerSize()))
            << '\n';
        return kExitBadInput;
    }
    out << "verified: " << rom.path().string() << " is the ROM " << patchPath << " was made for";
    switch (match->madeFor) {
    case patches::BpsMadeFor::ThisFile: out << '\n'; break;
    case patches::BpsMadeFor::RomWithoutHeader:
        out << ", without its copier header (corvtool patch applies it there and keeps the header)\n";
        break;
    case patches::BpsMadeFor::RomWithHeader:
        out << ", with a copier header it lacks (corvtool patch applies it as if the header were there)\n";
        break;
    }
    return kExitOk;
}

int verifyAgainstProject(const core::RomImage& rom, const patches::RomIdentity& identity, const std::string& argument,
                         std::ostream& out, std::ostream& err) {
    const std::optional<project::ProjectFile> project = OpenProjectFile(argument, "verify", err);
    if (!project) return kExitBadInput;
    core::RomImage original;
    if (!OpenGameRom(original, project->rom.path.string(), "verify", err)) return kExitBadInput;
    const patches::RomIdentity expected = patches::IdentifyRom(original.fileBytes(), original.headerSize());
    out << "the project's original ROM, ";
    printRom(out, original, expected);
    if (identity.data() != expected.data()) {
        FileError(err, "verify", rom.path().string())
            << "not the project's original ROM: without copier headers its CRC32 is " << crcText(identity.data().crc32)
            << ", the original's " << crcText(expected.data().crc32) << '\n';
        return kExitBadInput;
    }
    out << "verified: " << rom.path().string() << " is the project's original ROM";
    if (rom.headerSize() != original.headerSize()) {
        out << (rom.headerSize() ? ", with a 512-byte copier header the project's has not"
                                 : ", without the copier header the project's has");
    }
    out << '\n';
    return kExitOk;
}

int runVerify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::optional<std::string> projectPath;
    std::optional<std::string> patchPath;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--project" || args[i] == "--patch") && i + 1 < args.size()) {
            (args[i] == "--project" ? projectPath : patchPath) = args[i + 1];
            ++i;
        } else if (args[i].starts_with("--")) {
            err << "corvtool verify: unknown option " << args[i] << '\n';
            return kExitUsage;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 1 || (projectPath && patchPath)) {
        err << "corvtool verify: expected " << kUsage << '\n';
        return kExitUsage;
    }
    core::RomImage rom;
    if (!OpenGameRom(rom, files[0], "verify", err)) return kExitBadInput;
    const patches::RomIdentity identity = patches::IdentifyRom(rom.fileBytes(), rom.headerSize());
    printRom(out, rom, identity);
    if (patchPath) return verifyAgainstPatch(rom, *patchPath, out, err);
    if (projectPath) return verifyAgainstProject(rom, identity, *projectPath, out, err);
    return kExitOk;
}

}  // namespace

extern const Command kVerifyCommand{
    "verify", kUsage,
    "print the size, CRC32, MD5 and SHA-1 of ROM, whole and without its copier header, and check that it is the "
    "original the project builds from or the BPS patch was made for; exit 2 when it is not",
    runVerify};

}  // namespace corv::tool
