#pragma once

#include "common/ByteCount.h"

#include <QString>

#include <array>

// The download session's own values. They belong to the main window and keep
// their last values after a session.
struct SessionState
{
    static constexpr int kQueueSize = 201; // positions 1..200 are used

    std::array<QString, kQueueSize> TaggedFileName;
    std::array<short, kQueueSize> TaggedIndex{};
    QString SaveAsName;
    ByteCount ExpectedSize;
    double CurrentSize = 0;
    double FileLeft = 0;
};
