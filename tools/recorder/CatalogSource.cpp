#include "CatalogSource.h"

#include "CatalogText.h"
#include "DemoCatalog.h"
#include "EnvVars.h"
#include "FileUtil.h"
#include "ToolError.h"

namespace recorder {

Catalog loadCatalog()
{
    const std::string path = envValue(kEnvCatalog);
    if (path.empty())
        return demoCatalog();
    std::string text;
    if (!readWholeFile(path, text))
        throw ToolError(ExitUsage, std::string(kEnvCatalog) + "=" + path + ": cannot read file");
    try {
        return parseCatalogText(text);
    } catch (const CatalogSyntaxError& e) {
        throw ToolError(ExitUsage, std::string(kEnvCatalog) + "=" + path + ": " + e.what());
    }
}

} // namespace recorder
