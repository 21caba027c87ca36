#pragma once
// Minimal check framework: CHECK records a failure and continues, REQUIRE
// aborts the current case. Cases register themselves by name.

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace rectest {

struct RequireFailed {};

void reportFailure(const char* file, int line, const std::string& what);
int failureCount();

template <typename A, typename B>
bool checkEqual(const A& a, const B& b, const char* aText, const char* bText, const char* file, int line)
{
    if (a == b)
        return true;
    std::ostringstream s;
    s << aText << " == " << bText << "\n      left:  " << a << "\n      right: " << b;
    reportFailure(file, line, s.str());
    return false;
}

#define CHECK(cond) \
    ((cond) ? true : (::rectest::reportFailure(__FILE__, __LINE__, #cond), false))
#define REQUIRE(cond) \
    do { if (!CHECK(cond)) throw ::rectest::RequireFailed(); } while (0)
#define CHECK_EQ(a, b) ::rectest::checkEqual((a), (b), #a, #b, __FILE__, __LINE__)
#define REQUIRE_EQ(a, b) \
    do { if (!CHECK_EQ(a, b)) throw ::rectest::RequireFailed(); } while (0)

using TestFunction = void (*)();

struct TestRegistrar {
    TestRegistrar(const char* name, TestFunction function);
};

#define RECORDER_TEST(name) \
    static void name(); \
    static ::rectest::TestRegistrar name##_registrar(#name, name); \
    static void name()

struct RegisteredTest {
    std::string name;
    TestFunction function;
};
std::vector<RegisteredTest>& registeredTests();

// Folder holding the built Tolvane and Tamrick (set from the command line).
std::filesystem::path& binDir();

// A fresh folder per case: "work" is the tools' working directory, "aux"
// holds inputs and captured output so they never show up in "work".
struct Sandbox {
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    std::filesystem::path root;
    std::filesystem::path work;
    std::filesystem::path aux;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& contents);
bool fileExists(const std::filesystem::path& path);
std::uint64_t fileSize(const std::filesystem::path& path);

// Index of the first byte of the file that differs from the recording's
// content, or -1 when the first `size` bytes all match.
std::int64_t firstContentMismatch(const std::filesystem::path& path, const std::string& recordingName);

// Splits on "\r\n"; sets `bareLineFeeds` if any LF is not preceded by CR.
std::vector<std::string> splitCrLf(const std::string& text, bool& bareLineFeeds);

bool startsWith(const std::string& s, const std::string& prefix);

} // namespace rectest
