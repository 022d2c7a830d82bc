#pragma once
// The texts of the patch command for its results, shared by the editor and corvtool. The IPS
// texts are the editor's own; the BPS ones follow them.

#include <string>

#include "patches/bps_file.h"
#include "patches/rom_patcher.h"

namespace corv::patches {

// The message shown at the end of the command for `outcome` (empty for NoRom). After a set
// that applied, it starts with a HeaderCrossingNote line for each BPS applied across the header.
[[nodiscard]] std::string PatchMessage(const PatchOutcome& outcome);

// What happened to the copier header of a ROM that a BPS patch made for the other kind of ROM
// was applied to.
[[nodiscard]] std::string HeaderCrossingNote(BpsMadeFor madeFor);

// Why a BPS patch was not applied to a ROM with copier header `headerSize`, in one sentence.
[[nodiscard]] std::string BpsMessage(const BpsFileApplication& refused, uint32_t headerSize);

// "this patch is for a ROM whose CRC32 is 1A2B3C4D; yours is ...", the file's checksum with and
// without its copier header.
[[nodiscard]] std::string WrongRomText(const BpsFileApplication& refused, uint32_t headerSize);

}  // namespace corv::patches
