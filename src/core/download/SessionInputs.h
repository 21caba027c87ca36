#pragma once

#include "runner/StallWatch.h"

#include <QList>
#include <QString>

#include <functional>

// One ticked title as the session takes it.
struct QueuedTitle
{
    int row = -1;         // its row in the list, for the window's ticks
    QString recorderName; // the guide's file name field, as read
    QString title;
    QString recordDate;
    double size = 0; // measured bytes; 0 when not measured
};

// The address, delay and save folder in use when a title starts: a change made
// during the session applies from the next title on.
struct Connection
{
    QString address;
    QString delay;
    QString saveFolder; // empty: the working folder
};
using ConnectionNow = std::function<Connection()>;

// The session's waits. Every title waits before watching its file grow and
// before renaming it; a transfer may stop growing only for the stall limits.
struct SessionTiming
{
    double pauseBeforeWatch = 0.5; // seconds
    double pauseBeforeRename = 1.0;
    StallLimits stall;
    // Each saved recording's SHA-256 kept in the record and its folder's
    // SHA256SUMS; off only to measure what keeping them costs.
    bool sums = true;
};
