#include "SessionReport.h"

#include <QStringList>

QString sessionEndMessage(const QList<FailedTitle> &failed, int notQueued, const QString &logProblem)
{
    QStringList parts;
    if (!failed.isEmpty()) {
        QStringList lines{QStringLiteral("Not downloaded completely (the rows stay ticked; any partial file "
                                         "keeps the recorder's name):")};
        for (const FailedTitle &title : failed)
            lines << QStringLiteral("%1 (%2): %3").arg(title.saveName, title.fileName, title.reason);
        parts << lines.join(u'\n');
    }
    if (notQueued > 0)
        parts << QStringLiteral("Only the first 200 ticked titles fit in one session. Still ticked and not "
                                "downloaded: %1.")
                     .arg(notQueued);
    if (!logProblem.isEmpty())
        parts << logProblem + QStringLiteral("\nThe downloads went on; the log is missing their records.");
    return parts.join(QStringLiteral("\n\n"));
}

QString failedStatus(const QString &reason)
{
    return QStringLiteral("Failed: ") + reason;
}
