#pragma once
// The findings that belong to several strings or to the block rather than to one entry alone: a
// string whose text an earlier string shares in the game, translated differently (the insertion
// keeps the earlier string's entry), and a line outside every entry that looks like a mistyped
// keyword line. The block check adds them to its report; the editor's live checks keep them up
// to date as the script changes.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "check/block_fit.h"
#include "check/entry_structure.h"
#include "check/string_check.h"

namespace corv::check {

// For each record number, the earliest text record whose text the record shares when that is
// another record (the string whose entry the insertion keeps for both); std::nullopt otherwise.
[[nodiscard]] std::vector<std::optional<unsigned>> EarliestSharers(std::span<const uint8_t> blockBytes,
                                                                   const std::vector<EncodedEntry>& entries);

// SharedTextDiffers on string `later`, whose text string `first` keeps, when their encodings
// differ. Nothing for a string without an entry or with an empty translation (`laterFindings`,
// its own findings, tell).
[[nodiscard]] std::optional<Finding> SharedTextFinding(unsigned later, unsigned first,
                                                       const std::vector<EncodedEntry>& entries,
                                                       std::span<const Finding> laterFindings);

// The text record a stray line is reported on: the last of `textRecords` (record numbers in
// order, not empty) up to the string whose entry came before the line, else the first.
[[nodiscard]] unsigned StrayLineOwner(const StrayLine& stray, std::span<const unsigned> textRecords);
// The finding of a stray line reported on string `owner`, in a block of `stringCount` strings.
[[nodiscard]] Finding StrayLineFinding(const StrayLine& stray, unsigned owner, unsigned stringCount);

}  // namespace corv::check
