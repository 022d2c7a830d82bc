#pragma once
// Reading a PO file with GNU gettext's own library (libgettextpo), so that whatever a
// translation tool writes is read as gettext reads it. A PO file comes from a translation
// platform or a teammate, so it is checked before the library sees it: only a regular file of at
// most kLargestPoFile bytes is read (the library is handed that very file), a NUL byte, raw or
// written as an escape, refuses it (the library's strings would end there), and so does a
// charset other than UTF-8.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corv::project {

// The PO file of the largest block is some hundred kilobytes.
inline constexpr uint64_t kLargestPoFile = 8 * 1024 * 1024;

struct PoEntry {
    std::string context;  // msgctxt (empty when none)
    std::string id;
    std::string str;
    bool fuzzy = false;
    bool plural = false;  // a msgid_plural entry (`str` holds its first form)
    size_t line = 0;  // the line of its msgstr in the file (0 when it cannot be found)
};

enum class PoReadProblem {
    CannotRead,     // missing or unreadable
    NotAFile,       // a FIFO, a device or a folder: not read
    TooLarge,       // larger than kLargestPoFile: not read
    NulByte,        // a NUL byte, or an escape of one, at `errorLine`
    NotUtf8,        // the header names another charset (`detail`)
    LibraryError,   // gettext's library refused it (`detail` holds its description)
};

struct PoRead {
    std::vector<PoEntry> entries;  // obsolete entries and the header left out
    std::optional<PoReadProblem> problem;
    std::string detail;
    size_t errorLine = 0;
};

[[nodiscard]] PoRead ReadPoFile(const std::filesystem::path& file);

// Where a PO text holds a NUL: a raw byte anywhere, or an escape in a quoted string that the
// library turns into one ("\0", "\000", "\x00"). The 1-based line, or std::nullopt.
[[nodiscard]] std::optional<size_t> PoNulLine(std::string_view text);

// The charset a PO header's Content-Type names ("UTF-8"); empty when it names none.
[[nodiscard]] std::string PoHeaderCharset(std::string_view header);

}  // namespace corv::project
