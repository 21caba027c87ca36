#include "log/LogRecords.h"

#include "common/DateTimeText.h"

namespace LogRecords {

QStringList creationHeader(const QDateTime &now)
{
    return {QStringLiteral(" - - - - - - - - - - - - - - - - - - -"),
            QStringLiteral("New Kelvado Log V. 1.5  Started   -  ") + dateText(now)};
}

QStringList sessionHeader(const QDateTime &now)
{
    return {QStringLiteral("Kelvado 1.5 log for ") + dateText(now) + u' ' + timeText(now),
            QStringLiteral("        ")};
}

QStringList titleStart(const QString &saveName, const QString &delay, const QDateTime &now)
{
    return {saveName + QStringLiteral("  Started: ") + timeText(now) + QStringLiteral("  Delay = ") + delay};
}

QStringList titleFinish(const QString &saveName, const QDateTime &now)
{
    return {saveName + QStringLiteral(" Finished: ") + timeText(now), QStringLiteral(" ")};
}

QStringList titleFailed(const QString &saveName, const QString &reason, const QDateTime &now)
{
    return {saveName + QStringLiteral(" Failed: ") + timeText(now) + QStringLiteral("  ") + reason,
            QStringLiteral(" ")};
}

QStringList fileKept(const QString &saveName, const QString &fileName, const QString &keptAs,
                     const QDateTime &now)
{
    return {saveName + QStringLiteral(" Kept: ") + timeText(now) + QStringLiteral("  ") + fileName
            + QStringLiteral(" was already in the folder, now ") + keptAs};
}

QStringList sessionEnd()
{
    return {QStringLiteral(" "), QStringLiteral("End of Download Session ")};
}

QStringList termination()
{
    return {QStringLiteral("Program Terminated "), QStringLiteral(" "), QStringLiteral(" ")};
}

} // namespace LogRecords
