#pragma once
// Starts Tolvane/Tamrick as real child processes with a controlled
// environment and working directory, as Kelvado does.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace rectest {

struct Invocation {
    std::string tool;                        // "Tolvane" or "Tamrick", found in binDir()
    std::vector<std::string> args;
    std::map<std::string, std::string> env;  // SIMREC_* to set; all others are removed
    std::filesystem::path cwd;
    std::filesystem::path outputDir;         // where stdout/stderr are captured
    std::string argv0;                       // default: full path of the tool
};

struct RunResult {
    int exitCode = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

class Process {
public:
    explicit Process(const Invocation& invocation);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool running();
    void sendSignal(int signal);
    RunResult wait();

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
    std::filesystem::path m_outPath;
    std::filesystem::path m_errPath;
};

RunResult run(const Invocation& invocation);

} // namespace rectest
