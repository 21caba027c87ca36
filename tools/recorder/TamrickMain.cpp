// Stand-in for the Tamrick helper, backed by a simulated recorder.

#include "CatalogSource.h"
#include "EnvVars.h"
#include "Fault.h"
#include "FileStat.h"
#include "FileUtil.h"
#include "GuideDat.h"
#include "GuideText.h"
#include "ToolError.h"
#include "ToolMain.h"
#include "Usage.h"

using namespace recorder;

namespace {

// "guide": Guide.dat -> Guide.txt, or a verbatim copy of SIMREC_GUIDE_FILE.
int convertGuide()
{
    const std::string override = envValue(kEnvGuideFile);
    std::string text;
    if (!override.empty()) {
        if (!readWholeFile(override, text))
            throw ToolError(ExitUsage, std::string(kEnvGuideFile) + "=" + override + ": cannot read file");
        writeWholeFile(kGuideTxtName, text);
        return ExitOk;
    }
    if (!readWholeFile(kGuideDatName, text))
        throw ToolError(ExitFailure, std::string("cannot read ") + kGuideDatName
                                         + " in the working directory (run Tolvane ADDRESS -g first)");
    writeWholeFile(kGuideTxtName, formatGuideText(parseGuideDat(text)));
    return ExitOk;
}

// "NAME": FStat.txt from the same catalog Tolvane extracts from, so the
// reported size always matches the extracted file.
int fileStat(const std::string& name)
{
    const Fault fault = faultFromEnvironment();
    const Catalog catalog = loadCatalog();
    const Recording* recording = findRecording(catalog, name);
    if (!recording)
        throw ToolError(ExitFailure, "no recording named \"" + name + "\" on the recorder");
    const std::string contents = formatFileStat(*recording, fault.kindFor(name));
    if (!contents.empty())
        writeWholeFile(kFileStatName, contents);
    return ExitOk;
}

int tamrick(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw UsageError("unrecognised arguments");
    checkEnvironment();
    if (args[0] == "guide")
        return convertGuide();
    return fileStat(args[0]);
}

} // namespace

int main(int argc, char** argv)
{
    return runTool(argc, argv, tamrick, tamrickUsage);
}
