#pragma once
// What make-ips and make-bps share: ORIGINAL MODIFIED OUT [--force], the two files read whole,
// a patch made and checked by the format's creator, written safely, and one line said.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corv::tool {

struct PatchPair {
    std::vector<uint8_t> original;  // whole files, copier header included
    std::vector<uint8_t> modified;
};

// What a creator made of the pair: the patch, checked by applying it to the original in
// memory, and the words that describe it; or why there is none.
struct MadePatch {
    std::vector<uint8_t> patch;
    std::string description;                 // printed as "OUT: description; checked against MODIFIED"
    std::optional<std::string> refusal;      // no patch: what is wrong (the command exits with 1)
    std::optional<std::string> refusedFile;  // the file the refusal names, if one does
};

// Runs a make-FORMAT command: usage errors exit 3; an unreadable input or an output that cannot
// be written 2; a refusal 1; only 0 writes OUT. A pair of one headered and one unheadered file
// makes a patch that fits neither kind of ROM: that is said in a warning, and the patch is still
// made.
[[nodiscard]] int RunPatchMaker(const std::vector<std::string>& args, std::string_view command,
                                std::string_view outName, std::ostream& out, std::ostream& err,
                                const std::function<MadePatch(const PatchPair&)>& make);

}  // namespace corv::tool
