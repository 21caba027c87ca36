#include "GuideDat.h"

#include "CatalogText.h"
#include "ToolError.h"

namespace recorder {

namespace {
const std::string kMagic = "SIMREC-GUIDE-DAT 1";
}

std::string formatGuideDat(const Catalog& catalog)
{
    std::string text = kMagic + '\n';
    for (const Recording& r : catalog)
        text += formatCatalogLine(r) + '\n';
    return text;
}

Catalog parseGuideDat(const std::string& text)
{
    const auto firstEnd = text.find('\n');
    if (firstEnd == std::string::npos || text.substr(0, firstEnd) != kMagic)
        throw ToolError(ExitFailure, std::string(kGuideDatName) + " is not a guide snapshot (bad first line)");
    try {
        return parseCatalogText(text.substr(firstEnd + 1), 2);
    } catch (const CatalogSyntaxError& e) {
        throw ToolError(ExitFailure, std::string(kGuideDatName) + " is corrupt: " + e.what());
    }
}

} // namespace recorder
