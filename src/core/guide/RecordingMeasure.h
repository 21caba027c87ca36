#pragma once

#include "runner/StallWatch.h"

#include <QList>
#include <QString>
#include <QStringList>

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

// One ticked title to measure.
struct TitleToMeasure
{
    QString recorderName; // the guide's file name field, as read
    QString title;
};

// The tagged titles measured one after another.
struct TaggingTotals
{
    QList<double> sizes;   // per title measured, in order; fewer when abandoned
    double total = 0;      // their sum
    QStringList messages;  // to tell afterwards, in order: titles not measured, files not removed
    bool abandoned = false; // the program is ending: the rest was not measured, nothing is to be shown
};
TaggingTotals measureTitles(const QList<TitleToMeasure> &titles, StallLimits limits = {});
