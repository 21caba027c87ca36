#pragma once
// Small file helpers. Byte-exact (binary) so CR LF line ends survive.

#include <cstddef>
#include <string>

namespace recorder {

// False when the file cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& contents);

// Creates or truncates path and writes contents; throws ToolError(1) on failure.
void writeWholeFile(const std::string& path, const std::string& contents);

// Owns a POSIX descriptor: the extractor and the journal need write()
// semantics (O_APPEND atomicity, no user-space buffering).
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Writes all n bytes, retrying after short writes and EINTR; false on error.
bool writeAll(int fd, const char* data, std::size_t n);

// strerror(errno) as a std::string.
std::string lastErrorText();

} // namespace recorder
