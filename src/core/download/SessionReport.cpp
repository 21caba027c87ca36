#include "download/SessionReport.h"

#include <QStringList>

QString sessionEndMessage(const SessionSummary &summary)
{
    QStringList parts;
    for (const bool downloaded : {false, true}) {
        QStringList lines{downloaded ? QStringLiteral("Not saved (the rows stay ticked):")
                                     : QStringLiteral("Not downloaded completely (the rows stay ticked; any partial "
                                                      "file is kept in %1 under the recorder's name, given in "
                                                      "brackets):")
                                           .arg(summary.partialFolder)};
        for (const FailedTitle &title : summary.failed) {
            if (title.downloaded == downloaded)
                lines << QStringLiteral("%1 (%2): %3").arg(title.saveName, title.fileName, title.reason);
        }
        if (lines.size() > 1)
            parts << lines.join(u'\n');
    }
    if (!summary.unchecked.isEmpty()) {
        QStringList lines{QStringLiteral("Saved, but not checked against a size (the recorder's size could "
                                         "not be measured):")};
        for (const UncheckedTitle &title : summary.unchecked)
            lines << QStringLiteral("%1 (%2)").arg(title.saveName, title.fileName);
        parts << lines.join(u'\n');
    }
    if (!summary.notes.isEmpty())
        parts << summary.notes.join(u'\n');
    if (!summary.checksumLists.isEmpty())
        parts << summary.checksumLists.join(u'\n');
    if (!summary.kept.isEmpty()) {
        QStringList lines{QStringLiteral("Files already under a recorder's file name were kept, renamed:")};
        for (const KeptFile &file : summary.kept)
            lines << QStringLiteral("%1 is now %2").arg(file.fileName, file.keptAs);
        parts << lines.join(u'\n');
    }
    if (summary.notQueued > 0)
        parts << QStringLiteral("Only the first 200 ticked titles fit in one session. Still ticked and not "
                                "downloaded: %1.")
                     .arg(summary.notQueued);
    if (!summary.logProblem.isEmpty())
        parts << summary.logProblem + QStringLiteral("\nThe downloads went on; the log is missing their records.");
    if (!summary.recordProblem.isEmpty())
        parts << summary.recordProblem + QStringLiteral("\nThe recordings were saved, but may not show as saved.");
    return parts.join(QStringLiteral("\n\n"));
}

QString failedStatus(const QString &reason)
{
    return QStringLiteral("Failed: ") + reason;
}
