// Stand-in for the Tolvane transfer tool, backed by a simulated recorder.

#include "CatalogSource.h"
#include "EnvVars.h"
#include "Extractor.h"
#include "Fault.h"
#include "FileUtil.h"
#include "GuideDat.h"
#include "ToolError.h"
#include "ToolMain.h"
#include "Usage.h"

using namespace recorder;

namespace {

// "ADDRESS -g": the guide snapshot; ADDRESS only matters to the journal.
int fetchGuide()
{
    writeWholeFile(kGuideDatName, formatGuideDat(loadCatalog()));
    return ExitOk;
}

// "ADDRESS -e NAME [DELAY]": DELAY only matters to the journal.
int extract(const std::string& name)
{
    ExtractOptions options;
    options.bytesPerSecond = transferRate();
    const Fault fault = faultFromEnvironment();
    if (isUnsafeFileName(name))
        throw ToolError(ExitFailure, "refusing recording name \"" + name + "\"");
    const Catalog catalog = loadCatalog();
    const Recording* recording = findRecording(catalog, name);
    if (!recording)
        throw ToolError(ExitFailure, "no recording named \"" + name + "\" on the recorder");
    options.fault = fault.kindFor(name);
    options.faultAmount = fault.amount;
    extractRecording(*recording, options);
    return ExitOk;
}

int tolvane(const std::vector<std::string>& args)
{
    const bool guide = args.size() == 2 && args[1] == "-g";
    const bool extraction = (args.size() == 3 || args.size() == 4) && args[1] == "-e";
    if (!guide && !extraction)
        throw UsageError("unrecognised arguments");
    checkEnvironment();
    return guide ? fetchGuide() : extract(args[2]);
}

} // namespace

int main(int argc, char** argv)
{
    return runTool(argc, argv, tolvane, tolvaneUsage);
}
