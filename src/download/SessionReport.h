#pragma once

#include <QList>
#include <QString>

// A title the session could not complete.
struct FailedTitle
{
    QString saveName; // the name it would have been given
    QString fileName; // the recorder's name, which any partial file keeps
    QString reason;   // a few words, as in the log
};

// The one message shown after a session: the titles that failed and the
// ticked titles that did not fit the queue, and a log that could not be written. Empty when there is nothing to tell.
QString sessionEndMessage(const QList<FailedTitle> &failed, int notQueued, const QString &logProblem = {});

// The status line while a title fails.
QString failedStatus(const QString &reason);
