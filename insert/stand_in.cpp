#include "insert/stand_in.h"

#include <algorithm>

#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/string_decoder.h"

namespace corv::insert {
namespace {

// The stand-in writes the parameters the game string holds; the translated game must read as
// many after the code.
constexpr bool parametersCarryOver() {
    return std::all_of(script::kControlCodes.begin(), script::kControlCodes.end(), [](const script::ControlCode& code) {
        return code.translatedParameterBytes == (code.lowByteParameter ? 1 : 0) + 2 * code.gameParameterWords;
    });
}
static_assert(parametersCarryOver());

}  // namespace

std::string StandInMarker(unsigned number) {
    // Appended, not "#" + ...: GCC 12 at -O3 warns (-Wrestrict) on that sum where nothing overlaps.
    return std::string(1, '#').append(std::to_string(number));
}

std::vector<uint8_t> StandInBytes(std::span<const uint8_t> gameString, unsigned number) {
    const std::string marker = StandInMarker(number);
    std::vector<uint8_t> bytes;
    bool inText = false;
    for (const script::GameStringItem& item : script::ReadGameStringItems(gameString)) {
        if (item.code == nullptr) {
            if (!inText) bytes.insert(bytes.end(), marker.begin(), marker.end());
            inText = true;
            continue;
        }
        inText = false;
        const script::ControlCode& code = *item.code;
        bytes.push_back(code.kind);
        if (code.lowByteParameter) bytes.push_back(item.parameter);
        // A parameter word is stored low byte first in the game string, and the translated game
        // reads the same bytes.
        for (size_t k = 0; k < code.gameParameterWords; ++k) {
            bytes.push_back(static_cast<uint8_t>(item.words[k] & 0xFF));
            bytes.push_back(static_cast<uint8_t>(item.words[k] >> 8));
        }
    }
    bytes.push_back(script::kStringEndByte);
    return bytes;
}

}  // namespace corv::insert
