#pragma once

#include <QString>

#include <functional>

struct MoveResult
{
    bool moved = false;
    QString reason; // why not, in a few words for the log
    QString note;   // moved, but something the user should know
};

// Called as a copy across file systems proceeds, on the thread that asked for the move.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;

// Moves a complete recording, the working folder's file fileName, to
// folder/name, never replacing anything. On the same file system that is one
// no-replace rename. On another (or another mount of the same one), the
// recording is copied (CopyInProgress) with the download's permission bits,
// flushed to the disk, checked (its size, and its SHA-256 read back from the
// disk against `sum`, the download's, or when that is empty the sum of what
// was read), given its name without replacing anything, and only then is the
// source removed, if it is still the file that was read. The copy runs on a
// thread of its own while this one handles events. Whatever fails, the source
// stays under its name and no part of a copy is left.
MoveResult moveIntoFolder(const QString &fileName, const QString &folder, const QString &name, const QByteArray &sum,
                          const CopyProgress &progress);

// The name a file gets inside a folder; the working folder is "".
QString inFolder(const QString &folder, const QString &name);
