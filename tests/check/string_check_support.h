#pragma once
// Small inputs for the per-string checks: game strings written as words, and the findings of one
// string against a script written in the test.

#include <initializer_list>
#include <string>
#include <vector>

#include "check/string_check.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::check::testing_support {

// A game string of 16-bit words, little-endian; the end mark is added.
inline std::vector<uint8_t> GameString(std::initializer_list<uint16_t> words) {
    std::vector<uint8_t> bytes;
    for (uint16_t word : words) {
        bytes.push_back(static_cast<uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    bytes.insert(bytes.end(), {0xFF, 0xFF});
    return bytes;
}

// The findings of string `number` in `script` against the game string `game`.
inline std::vector<Finding> CheckEntry(const std::string& script, unsigned number, const std::vector<uint8_t>& game,
                                       const BoxMetrics& box = {}) {
    script::MemoryScriptText text(script);
    script::TableFile table;
    StringSource source;
    source.number = number;
    source.gameString = game;
    return CheckString(source, text, table, box);
}

inline std::vector<FindingKind> Kinds(const std::vector<Finding>& findings) {
    std::vector<FindingKind> result;
    for (const Finding& finding : findings) result.push_back(finding.kind);
    return result;
}

}  // namespace corv::check::testing_support
