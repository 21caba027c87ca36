#include "FileUtil.h"

#include "ToolError.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace recorder {

bool readWholeFile(const std::string& path, std::string& contents)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void writeWholeFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw ToolError(ExitFailure, "cannot create " + path + ": " + lastErrorText());
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out)
        throw ToolError(ExitFailure, "cannot write " + path);
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool writeAll(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        const ssize_t written = ::write(fd, data, n);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string lastErrorText()
{
    return std::strerror(errno);
}

} // namespace recorder
