#pragma once
// The two files a patch is made from, as make-ips and make-bps read them.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corv::tool {

struct PatchPair {
    std::vector<uint8_t> original;
    std::vector<uint8_t> modified;
};

// Reads both whole files (copier header included); on failure prints one line naming `command`
// and the file. A patch between a headered and an unheadered file fits neither kind of ROM:
// that is said in a warning line, and the patch is still made.
[[nodiscard]] std::optional<PatchPair> ReadPatchPair(const std::string& originalPath, const std::string& modifiedPath,
                                                     std::string_view command, std::ostream& err);

}  // namespace corv::tool
