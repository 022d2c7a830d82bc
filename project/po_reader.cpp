#include "project/po_reader.h"

#include <gettext-po.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <map>

#include "core/ascii.h"
#include "core/file_read.h"

namespace corv::project {
namespace {

// What the library reports while one file is read. A fatal error must not return to the library,
// so it jumps back to the read that is under way on this thread.
struct ReadErrors {
    std::string first;
    size_t line = 0;
    std::jmp_buf fatal;
};
thread_local ReadErrors* tCurrentRead = nullptr;

void record(int severity, const char* text, size_t line) {
    ReadErrors& errors = *tCurrentRead;
    if (severity != PO_SEVERITY_WARNING && errors.first.empty() && text) {
        errors.first = text;
        while (!errors.first.empty() && errors.first.back() == '\n') errors.first.pop_back();
        errors.line = line == size_t(-1) ? 0 : line;
    }
    if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(errors.fatal, 1);
}

void onError(int severity, po_message_t, const char*, size_t line, size_t, int, const char* text) {
    record(severity, text, line);
}

void onError2(int severity, po_message_t, const char*, size_t line, size_t, int, const char* text, po_message_t,
              const char*, size_t, size_t, int, const char*) {
    record(severity, text, line);
}

const po_xerror_handler kHandler{onError, onError2};

// The line of each msgctxt's msgstr, found in the text: the library keeps no lines of messages.
std::map<std::string, size_t> msgstrLines(std::string_view text) {
    std::map<std::string, size_t> lines;
    std::string context;
    size_t number = 1;
    for (size_t start = 0; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("msgctxt \"") && line.size() >= 10 && line.back() == '"') {
            context = std::string(line.substr(9, line.size() - 10));
        } else if (line.starts_with("msgstr") && !context.empty()) {
            lines.emplace(context, number);
            context.clear();
        }
        start = end + 1;
    }
    return lines;
}

// Kept apart so that no variable of the caller lives across the jump.
po_file_t readGuarded(const char* name, ReadErrors& errors) {
    if (setjmp(errors.fatal) != 0) return nullptr;
    return po_file_read(name, &kHandler);
}

bool isUtf8Name(std::string_view charset) {
    return core::EqualsIgnoringCase(charset, "UTF-8") || core::EqualsIgnoringCase(charset, "UTF8");
}

}  // namespace

std::optional<size_t> PoNulLine(std::string_view text) {
    size_t line = 1;
    bool quoted = false;
    bool comment = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') return line;
        if (c == '\n') {
            ++line;
            quoted = false;
            comment = false;
            continue;
        }
        if (comment) continue;
        if (!quoted && c == '#') {
            comment = true;  // a comment is never a string of the message
        } else if (c == '"') {
            quoted = !quoted;
        } else if (quoted && c == '\\' && i + 1 < text.size()) {
            const char kind = text[++i];
            // The library reads up to three octal digits, or hexadecimal ones after "x".
            const bool hexadecimal = kind == 'x';
            if (!hexadecimal && (kind < '0' || kind > '7')) continue;
            size_t at = hexadecimal ? i + 1 : i;
            unsigned value = 0;
            size_t digits = 0;
            for (; at < text.size() && (hexadecimal || digits < 3); ++at, ++digits) {
                const int digit = hexadecimal ? core::HexDigitValue(text[at]) : (text[at] >= '0' && text[at] <= '7' ? text[at] - '0' : -1);
                if (digit < 0) break;
                // Only the low byte is kept of a larger value, which may then be a NUL.
                value = (value * (hexadecimal ? 16 : 8) + unsigned(digit)) & 0xFF;
            }
            if (digits > 0 && value == 0) return line;
            i = at - 1;
        }
    }
    return std::nullopt;
}

std::string PoHeaderCharset(std::string_view header) {
    std::string text(header);
    char* field = po_header_field(text.c_str(), "Content-Type");
    if (field == nullptr) return {};
    const std::string type(field);
    std::free(field);
    const size_t at = core::FindIgnoringCase(type, "charset=");
    if (at == std::string::npos) return {};
    size_t end = at + 8;
    while (end < type.size() && type[end] != ';' && type[end] != ' ' && type[end] != '\t') ++end;
    return type.substr(at + 8, end - at - 8);
}

PoRead ReadPoFile(const std::filesystem::path& file) {
    PoRead result;
    const int fd = core::OpenForBoundedRead(file);
    if (fd < 0) {
        result.problem = PoReadProblem::CannotRead;
        return result;
    }
    const core::FileRead read = core::ReadBoundedDescriptor(fd, kLargestPoFile);
    const auto refuse = [&](PoReadProblem problem, std::string detail = {}, size_t line = 0) {
        ::close(fd);
        result.problem = problem;
        result.detail = std::move(detail);
        result.errorLine = line;
        return result;
    };
    switch (read.status) {
    case core::FileReadStatus::Read: break;
    case core::FileReadStatus::CannotRead: return refuse(PoReadProblem::CannotRead);
    case core::FileReadStatus::NotAFile: return refuse(PoReadProblem::NotAFile);
    case core::FileReadStatus::TooLarge: return refuse(PoReadProblem::TooLarge);
    }
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());
    if (const auto line = PoNulLine(text)) return refuse(PoReadProblem::NulByte, {}, *line);

    // The library reads the file it is named: it is handed the one just checked, through its
    // open descriptor, so that no other file can take its name meanwhile.
    const std::string name = "/dev/fd/" + std::to_string(fd);
    ReadErrors errors;
    ReadErrors* const previous = tCurrentRead;
    tCurrentRead = &errors;
    const po_file_t po = readGuarded(name.c_str(), errors);
    tCurrentRead = previous;
    ::close(fd);
    if (!po || !errors.first.empty()) {
        result.problem = PoReadProblem::LibraryError;
        result.detail = errors.first.empty() ? std::string("cannot read this PO file") : errors.first;
        result.errorLine = errors.line;
        if (po) po_file_free(po);
        return result;
    }
    const auto lines = msgstrLines(text);
    po_message_iterator_t iterator = po_message_iterator(po, nullptr);
    while (po_message_t message = po_next_message(iterator)) {
        if (po_message_is_obsolete(message)) continue;
        const char* id = po_message_msgid(message);
        const char* context = po_message_msgctxt(message);
        if (!context && id && *id == '\0') {
            // The header: it says how the file's bytes are to be read.
            const std::string charset = PoHeaderCharset(po_message_msgstr(message) ? po_message_msgstr(message) : "");
            if (!charset.empty() && charset != "CHARSET" && !isUtf8Name(charset)) {
                result.problem = PoReadProblem::NotUtf8;
                result.detail = charset;
                break;
            }
            continue;
        }
        PoEntry entry;
        entry.context = context ? context : "";
        entry.id = id ? id : "";
        entry.str = po_message_msgstr(message) ? po_message_msgstr(message) : "";
        entry.fuzzy = po_message_is_fuzzy(message) != 0;
        entry.plural = po_message_msgid_plural(message) != nullptr;
        if (entry.plural) {
            const char* first = po_message_msgstr_plural(message, 0);
            entry.str = first ? first : "";
        }
        if (const auto found = lines.find(entry.context); found != lines.end()) entry.line = found->second;
        result.entries.push_back(std::move(entry));
    }
    po_message_iterator_free(iterator);
    po_file_free(po);
    if (result.problem) result.entries.clear();
    return result;
}

}  // namespace corv::project
