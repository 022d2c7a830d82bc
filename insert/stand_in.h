#pragma once
// Play-test stand-ins. A build meant for play-testing a partly translated block would otherwise
// write an untranslated entry as it stands (nothing, or a line break), and the game would lose the
// string's yes/no choice, fades, pauses and key waits. The stand-in keeps the original string's
// control codes in their order with their parameters, in the translated game's format, and puts a
// short marker ("#12" for string 12) where each run of the original's text was, so a play-tester
// sees which string is still to be translated.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corv::insert {

// The marker written where the text of string `number` was.
[[nodiscard]] std::string StandInMarker(unsigned number);

// The stand-in of string `number` from its game string (the block from its text pointer on):
// every code with its parameter bytes as the translated game reads them (the yes/no choice's
// words in the game's own byte order), the marker for each run of characters, and the end byte.
[[nodiscard]] std::vector<uint8_t> StandInBytes(std::span<const uint8_t> gameString, unsigned number);

}  // namespace corv::insert
