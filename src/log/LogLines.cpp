#include "LogLines.h"

#include "common/TextCodec.h"
#include "runner/FileNames.h"

#include <QFile>

QStringList logLines(const QByteArray &bytes)
{
    // Latin-1 maps every byte to one character and back, so the lines can be
    // split as text and then each decoded from its own bytes.
    QStringList lines = splitLines(QString::fromLatin1(bytes));
    for (QString &line : lines)
        line = decodeText(line.toLatin1());
    return lines;
}

LogReadResult readLogLines(const QString &fileName)
{
    LogReadResult result;
    QFile file(resolveFileName(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return result;
    file.close();
    result.readable = true;
    result.lines = logLines(bytes);
    return result;
}
