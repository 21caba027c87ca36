#pragma once

#include "common/ByteCount.h"

#include <QtGlobal>

// How long a tool may go without its file growing before it is given up.
struct StallLimits
{
    // The tool has ended: nothing more can come, but a file system may show the
    // last bytes late.
    qint64 endedMs = qint64(5) * 1000;
    // The tool still runs: the recorder can pause, but not for this long.
    qint64 runningMs = qint64(5) * 60 * 1000;
};

enum class StallVerdict
{
    Waiting,      // still growing, or not quiet for long enough yet
    StoppedShort, // the tool has ended and the file stopped short of its size
    Stalled,      // the tool still runs but the file no longer grows
};

// Watches one tool's run: any change of the file's size, and the tool's end,
// count as activity; a verdict comes once activity has been missing for the limit.
class StallWatch
{
public:
    explicit StallWatch(StallLimits limits = {});

    // One poll: the monotonic time, the file's size now and whether the tool runs.
    StallVerdict observe(qint64 nowMs, ByteCount size, bool toolRunning);

private:
    StallLimits m_limits;
    bool m_seen = false;
    ByteCount m_size;
    bool m_running = false;
    qint64 m_quietSince = 0;
};
