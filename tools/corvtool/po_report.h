#pragma once
// The lines import-po and export-po print for what keeps a translation out of a script or a PO
// file. Everything from a PO file (its name, a msgctxt, the library's words) is printed with
// its control characters escaped.

#include <iosfwd>
#include <string>

#include "project/po_exchange.h"

namespace corv::tool {

// One line "corvtool import-po: FILE:LINE: "CONTEXT": what is wrong" (an error, or a warning
// that imports nothing less).
void PrintPoImportProblem(std::ostream& err, const project::PoImportError& problem);

// Why a script entry's text cannot go into a PO file: "the byte F5 is read by the game as a
// code" and the like.
[[nodiscard]] std::string UnexportableText(const project::TranslationCheck& check);

}  // namespace corv::tool
