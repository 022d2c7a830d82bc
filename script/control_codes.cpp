#include "script/control_codes.h"

#include <algorithm>
#include <cstdio>

namespace corv::script {

namespace {

constexpr bool tableIsIndexedByKind() {
    for (size_t i = 0; i < kControlCodes.size(); ++i) {
        if (kControlCodes[i].kind != kFirstControlKind + i) return false;
    }
    return kControlCodes.back().kind == kLastControlKind;
}

// At most one keyword or dump name can match at a position only when none begins another.
constexpr bool noKeywordBeginsAnother() {
    for (const ControlCode& a : kControlCodes) {
        for (const ControlCode& b : kControlCodes) {
            for (const std::string_view first : {a.keyword, DumpName(a)}) {
                for (const std::string_view second : {b.keyword, DumpName(b)}) {
                    if (&a == &b || first.empty() || second.empty()) continue;
                    if (core::StartsWithIgnoringCase(second, first)) return false;
                }
            }
        }
    }
    return true;
}

constexpr bool keywordsAreUpperCaseAndBracketed() {
    return std::all_of(kControlCodes.begin(), kControlCodes.end(), [](const ControlCode& code) {
        return code.keyword.empty() ||
               (code.keyword.starts_with('[') &&
                std::none_of(code.keyword.begin(), code.keyword.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
    });
}

constexpr size_t keywordCount() {
    return static_cast<size_t>(std::count_if(kControlCodes.begin(), kControlCodes.end(),
                                             [](const ControlCode& code) { return !code.keyword.empty(); }));
}

static_assert(tableIsIndexedByKind());
static_assert(noKeywordBeginsAnother());
static_assert(keywordsAreUpperCaseAndBracketed());
static_assert(keywordCount() == 12);
static_assert(std::all_of(kControlCodes.begin(), kControlCodes.end(), [](const ControlCode& code) {
    return code.gameParameterWords <= kMostParameterWords;
}));

}  // namespace

const ControlCode* KeywordFor(uint8_t kind) {
    if (!IsControlKind(kind)) return nullptr;
    const ControlCode& code = ControlCodeOf(kind);
    return code.keyword.empty() ? nullptr : &code;
}

std::string ControlCodeText(const ControlCode& code, uint8_t lowByte, const std::array<uint16_t, kMostParameterWords>& words) {
    std::string text(code.textForm);
    char hex[12];
    if (code.lowByteParameter) {
        std::snprintf(hex, sizeof hex, "%02X]", unsigned{lowByte});
        text += hex;
    }
    for (size_t i = 0; i < code.gameParameterWords; ++i) {
        std::snprintf(hex, sizeof hex, "[$%04X]", unsigned{words[i]});
        text += hex;
    }
    return text;
}

}  // namespace corv::script
