#pragma once

#include "common/ByteCount.h"
#include "runner/StallWatch.h"

#include <QString>

#include <array>

// The download session's own values. They belong to the main window and keep
// their last values after a session.
struct SessionState
{
    static constexpr int kQueueSize = 201; // positions 1..200 are used
    static constexpr int kQueueLast = kQueueSize - 1;

    std::array<QString, kQueueSize> TaggedFileName;
    std::array<short, kQueueSize> TaggedIndex{};
    QString SaveAsName;
    ByteCount ExpectedSize;
    double CurrentSize = 0;
    double FileLeft = 0;

    // How long a transfer may stop growing before its title fails.
    void setStallLimits(StallLimits limits) { m_stallLimits = limits; }
    StallLimits stallLimits() const { return m_stallLimits; }

    // The two fixed waits of every title, in seconds: before watching the file
    // grow and before renaming it. Only tests shorten them.
    void setFixedPauses(double beforeWatch, double beforeRename)
    {
        m_pauseBeforeWatch = beforeWatch;
        m_pauseBeforeRename = beforeRename;
    }
    double pauseBeforeWatch() const { return m_pauseBeforeWatch; }
    double pauseBeforeRename() const { return m_pauseBeforeRename; }

private:
    StallLimits m_stallLimits;
    double m_pauseBeforeWatch = 0.5;
    double m_pauseBeforeRename = 1.0;
};
