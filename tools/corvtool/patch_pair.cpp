#include "tools/corvtool/patch_pair.h"

#include <ostream>

#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {

std::optional<PatchPair> ReadPatchPair(const std::string& originalPath, const std::string& modifiedPath,
                                       std::string_view command, std::ostream& err) {
    auto original = core::ReadWholeFile(originalPath);
    auto modified = core::ReadWholeFile(modifiedPath);
    if (!original || !modified) {
        FileError(err, command, original ? modifiedPath : originalPath) << "cannot read this file\n";
        return std::nullopt;
    }
    // A patch between a headered and an unheadered file shifts every change by 512 bytes, and
    // applied to either kind of ROM it lands in the wrong place for half of them.
    const bool originalHeadered = core::CopierHeaderSize(original->size()) != 0;
    if (originalHeadered != (core::CopierHeaderSize(modified->size()) != 0)) {
        err << "corvtool " << command << ": warning: " << (originalHeadered ? originalPath : modifiedPath)
            << " has a 512-byte copier header and " << (originalHeadered ? modifiedPath : originalPath)
            << " has none; the patch will not fit either kind of ROM\n";
    }
    return PatchPair{std::move(*original), std::move(*modified)};
}

}  // namespace corv::tool
