#pragma once
// One exception type carrying the process exit code, so every failure path
// ends in main() with a single message on stderr.

#include <stdexcept>
#include <string>

namespace recorder {

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

class ToolError : public std::runtime_error {
public:
    ToolError(int exitCode, const std::string& message)
        : std::runtime_error(message), m_exitCode(exitCode) {}
    int exitCode() const { return m_exitCode; }

private:
    int m_exitCode;
};

} // namespace recorder

namespace recorder {

// Bad command line: reported together with the usage text.
class UsageError : public ToolError {
public:
    explicit UsageError(const std::string& message) : ToolError(ExitUsage, message) {}
};

} // namespace recorder
