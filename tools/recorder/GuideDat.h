#pragma once
// Guide.dat, the recorder's raw guide as fetched by "Tolvane ADDRESS -g".
// Here it is a magic first line followed by catalog lines.

#include "Recording.h"

#include <string>

namespace recorder {

constexpr const char* kGuideDatName = "Guide.dat";

std::string formatGuideDat(const Catalog& catalog);

// Throws ToolError(1) when the text is not a Guide.dat snapshot.
Catalog parseGuideDat(const std::string& text);

} // namespace recorder
