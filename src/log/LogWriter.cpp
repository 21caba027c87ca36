#include "LogWriter.h"

#include "common/TextCodec.h"
#include "runner/FileNames.h"

#include <QFile>

bool AppendToLog(const QStringList &lines, QString *error)
{
    QFile log(resolveFileName(kLogFileName));
    auto fail = [&](const QString &what) {
        if (error)
            *error = QStringLiteral("The log %1 could not be %2: %3").arg(log.fileName(), what, log.errorString());
        return false;
    };
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(QStringLiteral("opened"));
    const QByteArray bytes = encodeLines(lines);
    if (log.write(bytes) != bytes.size() || !log.flush())
        return fail(QStringLiteral("written"));
    log.close();
    if (log.error() != QFileDevice::NoError)
        return fail(QStringLiteral("written"));
    return true;
}
