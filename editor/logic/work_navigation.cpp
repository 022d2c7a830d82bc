#include "editor/logic/work_navigation.h"

#include <charconv>
#include <functional>

namespace corv::editor {
namespace {

enum class Direction { Forward, Backward };

std::optional<unsigned> search(const LiveChecks& checks, int current, Direction direction,
                               const std::function<bool(const LiveString&)>& wanted) {
    const std::vector<LiveString>& strings = checks.strings();
    const auto count = int(strings.size());
    if (count == 0) return std::nullopt;
    // The position of the first text record after (or before) the current string.
    int start = direction == Direction::Forward ? 0 : count - 1;
    for (int k = 0; k < count; ++k) {
        const auto number = int(strings[size_t(k)].number);
        if (direction == Direction::Forward && number > current) {
            start = k;
            break;
        }
        if (direction == Direction::Backward && number < current) start = k;
    }
    const int step = direction == Direction::Forward ? 1 : -1;
    for (int k = 0; k < count; ++k) {
        const LiveString& string = strings[size_t(((start + step * k) % count + count) % count)];
        if (wanted(string)) return string.number;
    }
    return std::nullopt;
}

bool untranslated(const LiveString& string) { return string.state == StringState::Untranslated; }

}  // namespace

std::optional<unsigned> NextUntranslated(const LiveChecks& checks, int current) {
    return search(checks, current, Direction::Forward, untranslated);
}

std::optional<unsigned> PreviousUntranslated(const LiveChecks& checks, int current) {
    return search(checks, current, Direction::Backward, untranslated);
}

std::optional<unsigned> NextProblem(const LiveChecks& checks, int current) {
    return search(checks, current, Direction::Forward, HasProblems);
}

std::optional<unsigned> ParseStringNumber(std::string_view text, unsigned stringCount) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number >= stringCount) {
        return std::nullopt;
    }
    return number;
}

}  // namespace corv::editor
