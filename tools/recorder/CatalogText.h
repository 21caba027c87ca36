#pragma once
// The TAB-separated catalog text shared by SIMREC_CATALOG files and Guide.dat.

#include "Recording.h"

#include <stdexcept>
#include <string>

namespace recorder {

// Thrown for a bad catalog line; the message names the line number.
class CatalogSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses UTF-8 text, one recording per line (title, quality, date, time,
// filename, duration, size). '#' lines and blank lines are skipped.
// firstLineNumber lets callers with a header report file line numbers.
Catalog parseCatalogText(const std::string& text, int firstLineNumber = 1);

// One line (without line end) in the same format parseCatalogText reads.
std::string formatCatalogLine(const Recording& recording);

} // namespace recorder
