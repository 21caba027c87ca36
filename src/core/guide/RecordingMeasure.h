#pragma once

#include "runner/StallWatch.h"

#include <QString>

// The size of one recording, as the helper reports it.
struct Measurement
{
    double size = 0;        // bytes; 0 when not measured
    bool measured = false;  // false: no usable size was reported
    QString deleteError;    // FStat.txt could not be removed afterwards
    bool abandoned = false; // the program is ending: the helper was ended, nothing more is done
};

// Runs "Tamrick <name>" (waited, through ShellAndWait) and reads the size
// from the "FStat.txt" it leaves, then deletes that file. A file left from
// before is removed first, so an old size is never taken for this recording.
// A guide field that is not a plain file name is not measured: no tool runs.
// A helper that neither ends nor writes for the running limit is stopped, and
// whatever it wrote is not taken as a size.
Measurement measureRecording(const QString &guideField, StallLimits limits = {});
