#pragma once
// FStat.txt, written by "Tamrick NAME": one line
// "FileStat,Size=<bytes>,Name=<NAME>" with CR LF.

#include "Fault.h"
#include "Recording.h"

#include <string>

namespace recorder {

constexpr const char* kFileStatName = "FStat.txt";

// The file contents for recording r under the given fault; empty when the
// fault says no file is written.
std::string formatFileStat(const Recording& r, FaultKind fault);

} // namespace recorder
