// IPS patches: a patch is applied all or nothing, the command applies patches in order, and
// what it leaves still opens as the game.
//
// Input: a flag byte (bit 0: the ROM file has a copier header; bit 1: it carries no title), a
// byte that says where the first patch ends (as a fraction of the rest, in 256ths), then the two
// patches.

#include <algorithm>
#include <vector>

#include "core/rom_image.h"
#include "fuzz/fuzz_support.h"
#include "patches/ips_patch.h"
#include "patches/rom_patcher.h"

using namespace corv;

namespace {

std::vector<uint8_t> baseImage(bool headered, bool titled) {
    const size_t header = headered ? core::kCopierHeaderSize : 0;
    std::vector<uint8_t> image(0x10000 + header);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    if (titled) std::ranges::copy(core::kGameTitle, image.begin() + header + core::kTitleOffset);
    return image;
}

// The file opens as the game: the same copier header, and the title if there was one.
bool opensAsTheGame(std::span<const uint8_t> image, uint32_t headerSize, bool hadTitle) {
    return core::CopierHeaderSize(image.size()) == headerSize && image.size() >= headerSize &&
           (!hadTitle || core::HasGameTitle(image.subspan(headerSize)));
}

// One patch alone: refused patches change nothing; an applied patch applied again changes nothing.
patches::IpsStatus checkAlone(const std::vector<uint8_t>& image, std::span<const uint8_t> patch,
                             std::vector<uint8_t>& patched) {
    patched = image;
    const patches::IpsStatus status = patches::ApplyIpsPatch(patched, patch);
    if (status != patches::IpsStatus::Applied) {
        fuzz::Require(patched == image, "a refused patch leaves the image unchanged");
        return status;
    }
    std::vector<uint8_t> again = patched;
    fuzz::Require(patches::ApplyIpsPatch(again, patch) == patches::IpsStatus::Applied && again == patched,
                  "a patch applied twice gives what it gave once");
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint8_t flags = input.u8();
    const unsigned split = input.u8();
    const auto rest = input.rest();
    const size_t firstSize = rest.size() * split / 256;
    const std::vector<std::vector<uint8_t>> patches = {{rest.begin(), rest.begin() + firstSize},
                                                       {rest.begin() + firstSize, rest.end()}};

    // A set with a BPS patch in it is the bps harness's to check.
    for (const std::vector<uint8_t>& patch : patches) {
        if (patches::PatchFormatOf(patch) == patches::PatchFormat::Bps) return 0;
    }
    const bool titled = (flags & 2) == 0;
    const std::vector<uint8_t> image = baseImage((flags & 1) != 0, titled);
    const uint32_t headerSize = core::CopierHeaderSize(image.size());
    std::vector<uint8_t> afterFirst;
    std::vector<uint8_t> afterSecond;
    const bool firstApplies = checkAlone(image, patches[0], afterFirst) == patches::IpsStatus::Applied;
    const bool secondApplies = firstApplies && checkAlone(afterFirst, patches[1], afterSecond) == patches::IpsStatus::Applied;
    const size_t expectedCount = firstApplies ? (secondApplies ? 2 : 1) : 0;
    const bool breaksTheGame = (firstApplies && !opensAsTheGame(afterFirst, headerSize, titled)) ||
                               (secondApplies && !opensAsTheGame(afterSecond, headerSize, titled));

    core::RomImage rom(image, "fuzz.smc");
    const patches::PatchOutcome outcome = patches::ApplyPatches(rom, patches);
    if (breaksTheGame) {
        fuzz::Require(outcome.status == patches::PatchStatus::NotThisGame, "a set that breaks the game is refused");
        fuzz::Require(std::ranges::equal(rom.fileBytes(), image) && !rom.modified(),
                      "a refused set leaves the ROM as it was");
        return 0;
    }
    fuzz::Require(outcome.appliedCount == expectedCount, "patches apply in order up to the first refused one");
    fuzz::Require((outcome.status == patches::PatchStatus::Applied) == (expectedCount == 2),
                  "the command succeeds when every patch applied");
    const std::vector<uint8_t>& expected = expectedCount == 2 ? afterSecond : expectedCount == 1 ? afterFirst : image;
    fuzz::Require(std::ranges::equal(rom.fileBytes(), expected), "the ROM holds exactly the applied patches");
    fuzz::Require(rom.modified() == (expectedCount > 0), "the modified flag tells whether a patch applied");
    fuzz::Require(rom.headerSize() == headerSize, "the header size is kept");
    return 0;
}
