#include "Extractor.h"

#include "FileUtil.h"
#include "RecordingContent.h"
#include "ToolError.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>

namespace recorder {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kMaxChunk = 1 << 20;
// A hung transfer still ends by itself, so a forgotten test process cannot
// linger for ever.
constexpr std::chrono::seconds kHangLimit(600);

// About 20 chunks per second keeps the growth smooth without many syscalls.
std::uint64_t chunkSize(std::uint64_t rate)
{
    if (rate == 0)
        return kMaxChunk;
    return std::clamp<std::uint64_t>(rate / 20, 1, kMaxChunk);
}

std::uint64_t bytesToWrite(const Recording& r, const ExtractOptions& o)
{
    switch (o.fault) {
    case FaultKind::Hang:
    case FaultKind::Stop:
    case FaultKind::Fail:
        return std::min(o.faultAmount, r.sizeBytes);
    case FaultKind::Oversize:
        return r.sizeBytes + o.faultAmount;
    default:
        return r.sizeBytes;
    }
}

} // namespace

bool isUnsafeFileName(const std::string& name)
{
    return name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos;
}

void extractRecording(const Recording& r, const ExtractOptions& o)
{
    if (o.fault == FaultKind::Exit)
        return;
    const Clock::time_point start = Clock::now();
    FileDescriptor fd(::open(r.fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.isOpen())
        throw ToolError(ExitFailure, "cannot create " + r.fileName + ": " + lastErrorText());

    const std::uint64_t total = bytesToWrite(r, o);
    const std::uint64_t chunk = chunkSize(o.bytesPerSecond);
    std::vector<char> buffer(static_cast<std::size_t>(std::min(chunk, std::max<std::uint64_t>(total, 1))));
    std::uint64_t written = 0;
    while (written < total) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), total - written));
        recordingBytes(r.fileName, written, buffer.data(), n);
        // write() hands each chunk to the OS at once: other processes' stat() sees it.
        if (!writeAll(fd.get(), buffer.data(), n))
            throw ToolError(ExitFailure, "cannot write " + r.fileName + ": " + lastErrorText());
        written += n;
        if (o.bytesPerSecond != 0 && written < total) {
            // Sleeping towards an absolute deadline keeps the average rate exact.
            const std::chrono::duration<double> due(static_cast<double>(written)
                                                    / static_cast<double>(o.bytesPerSecond));
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(due));
        }
    }

    if (o.fault == FaultKind::Fail)
        throw ToolError(ExitFailure, "transfer of " + r.fileName + " failed (fail fault)");
    if (o.fault == FaultKind::Hang) {
        // The file stays open while stalled, as with a transfer that froze.
        std::this_thread::sleep_until(start + kHangLimit);
        throw ToolError(ExitFailure, "transfer of " + r.fileName + " stalled (hang fault), giving up");
    }
}

} // namespace recorder
