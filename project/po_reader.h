#pragma once
// Reading a PO file with GNU gettext's own library (libgettextpo), so that whatever a
// translation tool writes is read as gettext reads it.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corv::project {

struct PoEntry {
    std::string context;  // msgctxt (empty when none)
    std::string id;
    std::string str;
    bool fuzzy = false;
    size_t line = 0;  // the line of its msgstr in the file (0 when it cannot be found)
};

struct PoRead {
    std::vector<PoEntry> entries;  // obsolete entries and the header left out
    std::optional<std::string> error;  // the library's description of what stops the file
    size_t errorLine = 0;
};

[[nodiscard]] PoRead ReadPoFile(const std::filesystem::path& file);

}  // namespace corv::project
