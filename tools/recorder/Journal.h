#pragma once

#include <string>
#include <vector>

namespace recorder {

// The journal line: program name and every argument joined by single
// blanks, ending in LF. Arguments are written verbatim.
std::string journalLine(const std::string& programName, const std::vector<std::string>& args);

// If SIMREC_JOURNAL is set (non-empty), appends journalLine() to that file
// in one O_APPEND write(), so concurrent invocations never interleave.
// Throws ToolError(2) when the file cannot be opened or written.
void appendToJournal(const std::string& programName, const std::vector<std::string>& args);

} // namespace recorder
