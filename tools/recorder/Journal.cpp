#include "Journal.h"

#include "EnvVars.h"
#include "FileUtil.h"
#include "ToolError.h"

#include <fcntl.h>
#include <unistd.h>

namespace recorder {

std::string journalLine(const std::string& programName, const std::vector<std::string>& args)
{
    std::string line = programName;
    for (const std::string& a : args)
        line += ' ' + a;
    line += '\n';
    return line;
}

void appendToJournal(const std::string& programName, const std::vector<std::string>& args)
{
    const std::string path = envValue(kEnvJournal);
    if (path.empty())
        return;
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd.isOpen())
        throw ToolError(ExitUsage, std::string(kEnvJournal) + "=" + path
                                       + ": cannot open for appending: " + lastErrorText());
    const std::string line = journalLine(programName, args);
    // Deliberately a single write(): splitting it would let lines interleave.
    const ssize_t written = ::write(fd.get(), line.data(), line.size());
    if (written != static_cast<ssize_t>(line.size()))
        throw ToolError(ExitUsage, std::string(kEnvJournal) + "=" + path
                                       + ": cannot append: " + lastErrorText());
}

} // namespace recorder
