#pragma once

#include "download/LeftoverFile.h"

#include <QList>
#include <QString>
#include <QStringList>

// A title the session could not complete.
struct FailedTitle
{
    QString saveName;        // the name it would have been given
    QString fileName;        // the recorder's name, which any partial file keeps
    QString reason;          // a few words, as in the log
    bool downloaded = false; // whole, but not saved: the download is kept
};

// A title saved although no size was known to check it against.
struct UncheckedTitle
{
    QString saveName;
    QString fileName;
};

// What one session did beyond saving titles, for the message after its end.
struct SessionSummary
{
    QList<FailedTitle> failed;
    QList<UncheckedTitle> unchecked;
    QList<KeptFile> kept;           // files found under a recorder's name and moved aside
    int notQueued = 0;              // ticked titles beyond the queue
    QString logProblem;             // why the log could not be written
    QString recordProblem;          // why the record of saved recordings could not be written
    QStringList notes;              // saved, with something to tell
    QString partialFolder;          // where a failed title's partial file lies: the working folder
    QStringList checksumLists = {}; // each folder's SHA256SUMS not written or kept aside, said once
};

// The one message shown after a session. Empty when there is nothing to tell.
QString sessionEndMessage(const SessionSummary &summary);

// The status line while a title fails.
QString failedStatus(const QString &reason);
