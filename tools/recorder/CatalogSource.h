#pragma once

#include "Recording.h"

namespace recorder {

// The catalog named by SIMREC_CATALOG, or the built-in demo catalog when it
// is unset. Throws ToolError(2) if the file is unreadable or malformed.
Catalog loadCatalog();

} // namespace recorder
