#include "runner/StallWatch.h"

StallWatch::StallWatch(StallLimits limits)
    : m_limits(limits)
{
}

StallVerdict StallWatch::observe(qint64 nowMs, ByteCount size, bool toolRunning)
{
    if (!m_seen || size != m_size || toolRunning != m_running) {
        m_seen = true;
        m_size = size;
        m_running = toolRunning;
        m_quietSince = nowMs;
        return StallVerdict::Waiting;
    }
    const qint64 quiet = nowMs - m_quietSince;
    if (toolRunning)
        return quiet >= m_limits.runningMs ? StallVerdict::Stalled : StallVerdict::Waiting;
    return quiet >= m_limits.endedMs ? StallVerdict::StoppedShort : StallVerdict::Waiting;
}
