#pragma once
// Guide.txt, the human-readable guide dump that "Tamrick guide" writes and
// Kelvado parses. CR LF line ends, UTF-8.

#include "Recording.h"

#include <string>

namespace recorder {

constexpr const char* kGuideTxtName = "Guide.txt";

std::string formatGuideText(const Catalog& catalog);

} // namespace recorder
