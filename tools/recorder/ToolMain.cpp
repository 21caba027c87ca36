#include "ToolMain.h"

#include "Journal.h"
#include "ToolError.h"

#include <exception>
#include <iostream>

namespace recorder {

namespace {

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int runTool(int argc, char** argv, CommandFunction command, UsageFunction usage)
{
    const std::string program = baseName(argc > 0 && argv[0] ? argv[0] : "");
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        appendToJournal(program, args);
        if (args.size() == 1 && args[0] == "--help") {
            std::cout << usage(program);
            return ExitOk;
        }
        return command(args);
    } catch (const UsageError& e) {
        std::cerr << program << ": " << e.what() << "\n\n" << usage(program);
        return e.exitCode();
    } catch (const ToolError& e) {
        std::cerr << program << ": " << e.what() << '\n';
        return e.exitCode();
    } catch (const std::exception& e) {
        std::cerr << program << ": " << e.what() << '\n';
        return ExitFailure;
    }
}

} // namespace recorder
