#pragma once

#include <QByteArray>
#include <QString>

inline const QString kSettingsFileName = QStringLiteral("RPTVIP.dat");

struct StoredSettings
{
    QString address;
    QString delay;
};

// Reads the two fields of the settings line. Quoted fields give the text between
// the quotes; unquoted ones the text up to the comma or line end, trimmed.
// Missing fields are empty; any bytes at all are accepted.
StoredSettings parseSettings(const QByteArray &bytes);

// The one line the settings file holds: both fields quoted, CR LF.
QByteArray settingsLine(const QString &address, const QString &delay);

// Replaces the settings file as a whole, so a crash never leaves half a file.
bool writeSettingsFile(const QString &address, const QString &delay, QString *error = nullptr);

// Reads the settings file; false when it cannot be read.
bool readSettingsFile(StoredSettings *settings);
