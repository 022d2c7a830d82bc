#include "project/po_reader.h"

#include <gettext-po.h>

#include <csetjmp>
#include <fstream>
#include <iterator>
#include <map>

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
std::map<std::string, size_t> msgstrLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::map<std::string, size_t> lines;
    std::string line, context;
    for (size_t number = 1; std::getline(in, line); ++number) {
        if (line.rfind("msgctxt \"", 0) == 0 && line.size() >= 10 && line.back() == '"') {
            context = line.substr(9, line.size() - 10);
        } else if (line.rfind("msgstr", 0) == 0 && !context.empty()) {
            lines.emplace(context, number);
            context.clear();
        }
    }
    return lines;
}

// Kept apart so that no variable of the caller lives across the jump.
po_file_t readGuarded(const std::filesystem::path& file, ReadErrors& errors) {
    if (setjmp(errors.fatal) != 0) return nullptr;
    return po_file_read(file.c_str(), &kHandler);
}

}  // namespace

PoRead ReadPoFile(const std::filesystem::path& file) {
    PoRead result;
    ReadErrors errors;
    ReadErrors* const previous = tCurrentRead;
    tCurrentRead = &errors;
    const po_file_t po = readGuarded(file, errors);
    tCurrentRead = previous;
    if (!po || !errors.first.empty()) {
        result.error = errors.first.empty() ? std::string("cannot read this PO file") : errors.first;
        result.errorLine = errors.line;
        if (po) po_file_free(po);
        return result;
    }
    const auto lines = msgstrLines(file);
    po_message_iterator_t iterator = po_message_iterator(po, nullptr);
    while (po_message_t message = po_next_message(iterator)) {
        if (po_message_is_obsolete(message)) continue;
        const char* id = po_message_msgid(message);
        const char* context = po_message_msgctxt(message);
        if (!context && id && *id == '\0') continue;  // the header
        PoEntry entry;
        entry.context = context ? context : "";
        entry.id = id ? id : "";
        entry.str = po_message_msgstr(message) ? po_message_msgstr(message) : "";
        entry.fuzzy = po_message_is_fuzzy(message) != 0;
        if (const auto found = lines.find(entry.context); found != lines.end()) entry.line = found->second;
        result.entries.push_back(std::move(entry));
    }
    po_message_iterator_free(iterator);
    po_file_free(po);
    return result;
}

}  // namespace corv::project
