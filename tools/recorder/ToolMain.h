#pragma once
// The frame shared by both programs: journal first, --help, then the
// command; every ToolError becomes a stderr message and an exit code.

#include <string>
#include <vector>

namespace recorder {

using CommandFunction = int (*)(const std::vector<std::string>& args);
using UsageFunction = std::string (*)(const std::string& program);

int runTool(int argc, char** argv, CommandFunction command, UsageFunction usage);

} // namespace recorder
