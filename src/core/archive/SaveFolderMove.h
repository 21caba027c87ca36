#pragma once

#include <QString>

#include <functional>

struct MoveResult
{
    bool moved = false;
    QString reason; // why not, in a few words for the log
    QString note;   // moved, but something the user should know
};

// Called as a copy across file systems proceeds.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;

// Moves a complete recording, the working folder's file fileName, to
// folder/name, never replacing anything. On the same file system that is one
// no-replace rename. On another (or another mount of the same one), the
// recording is copied (CopyInProgress) with the download's permission bits,
// flushed to the disk, checked against the source (size, and a checksum taken
// while copying and read back from the copy), given its name without replacing
// anything, and only then is the source removed, if it is still the file that
// was read. Whatever fails, the source stays under its name and no part of a
// copy is left.
MoveResult moveIntoFolder(const QString &fileName, const QString &folder, const QString &name,
                          const CopyProgress &progress);

// The name a file gets inside a folder; the working folder is "".
QString inFolder(const QString &folder, const QString &name);
