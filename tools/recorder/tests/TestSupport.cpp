#include "TestSupport.h"

#include "RecordingContent.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace rectest {

namespace {
int g_failures = 0;
}

void reportFailure(const char* file, int line, const std::string& what)
{
    ++g_failures;
    std::cerr << "  FAILED " << fs::path(file).filename().string() << ':' << line << ": " << what << '\n';
}

int failureCount()
{
    return g_failures;
}

std::vector<RegisteredTest>& registeredTests()
{
    static std::vector<RegisteredTest> tests;
    return tests;
}

TestRegistrar::TestRegistrar(const char* name, TestFunction function)
{
    registeredTests().push_back({name, function});
}

fs::path& binDir()
{
    static fs::path dir;
    return dir;
}

Sandbox::Sandbox()
{
    std::string pattern = (fs::temp_directory_path() / "recorder-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::cerr << "cannot create a temporary folder\n";
        std::exit(1);
    }
    root = pattern;
    work = root / "work";
    aux = root / "aux";
    fs::create_directory(work);
    fs::create_directory(aux);
}

Sandbox::~Sandbox()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

bool fileExists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

std::uint64_t fileSize(const fs::path& path)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::uint64_t>(size);
}

std::int64_t firstContentMismatch(const fs::path& path, const std::string& recordingName)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> actual(1 << 16), expected(1 << 16);
    std::uint64_t offset = 0;
    while (in) {
        in.read(actual.data(), static_cast<std::streamsize>(actual.size()));
        const std::size_t n = static_cast<std::size_t>(in.gcount());
        recorder::recordingBytes(recordingName, offset, expected.data(), n);
        for (std::size_t i = 0; i < n; ++i)
            if (actual[i] != expected[i])
                return static_cast<std::int64_t>(offset + i);
        offset += n;
    }
    return -1;
}

std::vector<std::string> splitCrLf(const std::string& text, bool& bareLineFeeds)
{
    bareLineFeeds = false;
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto lf = text.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::string::size_type end = lf;
        if (lf > start && text[lf - 1] == '\r')
            --end;
        else
            bareLineFeeds = true;
        lines.push_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

bool startsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace rectest
