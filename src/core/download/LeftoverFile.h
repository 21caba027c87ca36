#pragma once

#include <QList>
#include <QString>

// A file found under a recorder's name before its transfer, and the name it
// was moved to so the transfer cannot write over it.
struct KeptFile
{
    QString fileName; // as it was found, in its own letter case
    QString keptAs;
};

struct NameClearing
{
    QList<KeptFile> kept; // moved aside, oldest first
    QString refusal;      // why the transfer must not run; empty when it may
};

// Makes room for a transfer under the recorder's name: every entry of that
// name in any letter case is looked at without following links. Kelvado's own
// files, and anything that is not a regular file, refuse the transfer; a
// regular file is moved to "<name>.kept-N", the first N free in any letter
// case, never replacing anything. Nothing is deleted.
NameClearing clearRecorderName(const QString &fileName);

// Whether the name, in any letter case, is one of the files Kelvado itself
// keeps in the working folder: the log, the settings, the guide files and
// the helper's file statistics.
bool isOwnWorkingFile(const QString &name);
