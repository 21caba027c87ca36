#include "log/LogWriter.h"

#include "runner/RegularFile.h"
#include "common/TextCodec.h"
#include "runner/FileNames.h"

#include <QFile>

bool AppendToLog(const QStringList &lines, QString *error)
{
    const QString path = resolveFileName(kLogFileName);
    QFile log;
    auto fail = [&](const QString &what, const QString &why) {
        if (error)
            *error = QStringLiteral("The log %1 could not be %2: %3").arg(path, what, why);
        return false;
    };
    QString reason;
    if (!openRegularFile(log, path, QIODevice::WriteOnly | QIODevice::Append, &reason))
        return fail(QStringLiteral("opened"), reason);
    const QByteArray bytes = encodeLines(lines);
    if (log.write(bytes) != bytes.size() || !log.flush())
        return fail(QStringLiteral("written"), log.errorString());
    log.close();
    if (log.error() != QFileDevice::NoError)
        return fail(QStringLiteral("written"), log.errorString());
    return true;
}
