#pragma once

#include "common/ByteCount.h"
#include "download/StallWatch.h"

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

private:
    StallLimits m_stallLimits;
};
