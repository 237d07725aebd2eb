// The library's error: a number and a message, thrown inside the library and
// turned into the context's error record by the entry points (entry.cpp).
// The numbers are listed in pdflib/README.md.
#pragma once

#include <string>

namespace qmpdf {

enum ErrorNumber : int {
  kErrOptionSyntax = 1100,    // option list that does not parse
  kErrOptionUnknown = 1101,   // option that the function does not take
  kErrOptionValue = 1102,     // option value of the wrong kind or out of range
  kErrOptionMissing = 1103,   // option that the function needs
  kErrKeyword = 1104,         // unknown keyword argument (info key, parameter, colour space...)
  kErrScope = 2000,           // function called in the wrong scope
  kErrHandle = 2001,          // unknown or stale handle
  kErrArgument = 2002,        // number argument not usable (not finite, size not positive, out of range)
  kErrPath = 2003,            // path operator without a path or a current point
  kErrNoFont = 2004,          // text without a current font
  kErrWrite = 2100,           // the document file cannot be written
  kErrDocument = 2101,        // document or page state (page still suspended, no pages, no such page)
  kErrPassword = 2200,        // passwords and permissions that cannot work
  kErrFontMissing = 2500,     // face not installed
  kErrFontUnusable = 2501,    // face that cannot be used with the encoding
  kErrTextflow = 2700,        // text of a textflow that cannot be encoded
  kErrTextflowOwned = 2701,   // textflow that belongs to a table
  kErrTableCell = 2800,       // table cell that cannot be added
  kErrWriter = 2900,          // the PDF writer refused an operation
  kErrMemory = 2901,          // out of memory
  kErrTableWidth = 3424,      // table columns need more width than the box has
  kErrTableHeight = 3425,     // header and one body row are higher than the box
};

struct Error {
  int number;
  std::string message;
};

[[noreturn]] inline void Fail(int number, std::string message) { throw Error{number, std::move(message)}; }

}  // namespace qmpdf
