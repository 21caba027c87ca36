#include "ProcessRunner.h"

#include "TestSupport.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace rectest {

namespace {

std::atomic<int> g_sequence{0};

std::vector<std::string> childEnvironment(const std::map<std::string, std::string>& extra)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "SIMREC_", 7) != 0)
            env.emplace_back(*e);
    for (const auto& [name, value] : extra)
        env.push_back(name + '=' + value);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

} // namespace

Process::Process(const Invocation& inv)
{
    const int n = ++g_sequence;
    m_outPath = inv.outputDir / ("stdout-" + std::to_string(n));
    m_errPath = inv.outputDir / ("stderr-" + std::to_string(n));
    const std::string exe = (binDir() / inv.tool).string();

    // Everything the child needs is prepared before fork().
    std::vector<std::string> argStrings{inv.argv0.empty() ? exe : inv.argv0};
    argStrings.insert(argStrings.end(), inv.args.begin(), inv.args.end());
    std::vector<std::string> envStrings = childEnvironment(inv.env);
    std::vector<char*> argv = pointers(argStrings);
    std::vector<char*> envp = pointers(envStrings);
    const std::string cwd = inv.cwd.string();
    const int outFd = ::open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = ::open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (outFd < 0 || errFd < 0) {
        std::cerr << "cannot create output capture files\n";
        std::exit(1);
    }

    m_pid = ::fork();
    if (m_pid == 0) {
        if (::chdir(cwd.c_str()) != 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0)
            ::_exit(127);
        ::execve(exe.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(outFd);
    ::close(errFd);
    if (m_pid < 0) {
        std::cerr << "fork failed\n";
        std::exit(1);
    }
}

Process::~Process()
{
    // Never leave a child behind, even when a REQUIRE aborted the case.
    if (!m_reaped && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &m_status, 0);
    }
}

bool Process::running()
{
    if (m_reaped)
        return false;
    const pid_t r = ::waitpid(m_pid, &m_status, WNOHANG);
    if (r == m_pid)
        m_reaped = true;
    return !m_reaped;
}

void Process::sendSignal(int signal)
{
    if (!m_reaped)
        ::kill(m_pid, signal);
}

RunResult Process::wait()
{
    if (!m_reaped) {
        while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
        }
        m_reaped = true;
    }
    RunResult r;
    if (WIFEXITED(m_status))
        r.exitCode = WEXITSTATUS(m_status);
    else if (WIFSIGNALED(m_status))
        r.signal = WTERMSIG(m_status);
    r.out = readFile(m_outPath);
    r.err = readFile(m_errPath);
    return r;
}

RunResult run(const Invocation& invocation)
{
    Process p(invocation);
    return p.wait();
}

} // namespace rectest
