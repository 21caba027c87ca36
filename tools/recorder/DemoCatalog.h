#pragma once

#include "Recording.h"

namespace recorder {

// Twelve recordings (2-6 MB) whose titles cover the awkward cases Kelvado
// must handle: parentheses, quotes, colons, semicolons, slashes, a title
// over 58 characters, non-ASCII letters, and all three qualities.
Catalog demoCatalog();

} // namespace recorder
