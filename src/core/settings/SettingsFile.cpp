#include "settings/SettingsFile.h"

#include "common/FieldReader.h"
#include "common/TextCodec.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QFile>

StoredSettings parseSettings(const QByteArray &bytes)
{
    QString text = decodeText(bytes);
    text.remove(QChar(0));
    FieldReader reader(text);
    auto nextField = [&reader] {
        const QString field = reader.readField();
        return reader.lastFieldQuoted() ? field : field.trimmed();
    };
    StoredSettings settings;
    settings.address = nextField();
    settings.delay = nextField();
    return settings;
}

QByteArray settingsLine(const QString &address, const QString &delay)
{
    return encodeLines({u'"' + address + QStringLiteral("\",\"") + delay + u'"'});
}

bool writeSettingsFile(const QString &address, const QString &delay, QString *error)
{
    QString reason;
    if (replaceOwnFile(resolveFileName(kSettingsFileName), settingsLine(address, delay), &reason))
        return true;
    if (error)
        *error = QStringLiteral("The settings could not be saved to %1: %2").arg(kSettingsFileName, reason);
    return false;
}

bool readSettingsFile(StoredSettings *settings)
{
    QFile file;
    if (!openRegularFile(file, resolveFileName(kSettingsFileName), QIODevice::ReadOnly))
        return false;
    // One line is all the file should hold; a huge file is not read whole.
    const QByteArray bytes = file.read(qint64(64) * 1024);
    file.close();
    *settings = parseSettings(bytes);
    return true;
}
