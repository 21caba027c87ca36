#pragma once

#include <QString>

#include <functional>

// What a folder's file system offers: which one it is and how many bytes an
// ordinary user can still write there.
struct DiskState
{
    bool known = false; // false when the folder cannot be reached
    quint64 device = 0;
    qint64 freeBytes = 0; // kNoLimit when the file system reports no size
    QString error;        // why it cannot be reached
    // Which mount the folder is reached through: a rename works only within
    // one, so two mounts of one file system (bind mounts) copy. 0: not known.
    quint64 mount = 0;
};

constexpr qint64 kNoLimit = -1;

// Bytes an ordinary user can still write, from what statvfs reports: kNoLimit
// for a file system of no size (an unlimited tmpfs), and never past what a
// qint64 holds.
qint64 freeBytesOf(quint64 totalBlocks, quint64 availableBlocks, quint64 blockSize);

// The folder's file system as it is now. The working folder is "".
DiskState diskOf(const QString &folder);

// Tests give their own file systems here; an empty probe restores the real one.
using DiskProbe = std::function<DiskState(const QString &folder)>;
void setDiskProbe(DiskProbe probe);

// A byte count as a person reads it: "4.2 GB", "512 bytes".
QString roomText(double bytes);

// Before a session: whether the tagged recordings fit. The tool writes each
// recording into the working folder; with a save folder on another file
// system, the working folder holds only one recording at a time; with one on
// another mount of the same file system, that one also holds it a second
// time while it is copied. A folder of unknown size fits. Empty when
// everything fits, else what is needed and what is free, in words.
QString sessionRoomShortfall(double taggedBytes, double largestBytes, const QString &saveFolder);

// Before one transfer: empty when the recording fits, else the reason the
// title fails without its tool being started.
QString titleRoomProblem(double bytes, const QString &saveFolder);
