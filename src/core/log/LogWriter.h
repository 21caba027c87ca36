#pragma once

#include <QString>
#include <QStringList>

inline const QString kLogFileName = QStringLiteral("Kelvado.LOG");

// Appends one group of lines to the program log, each followed by CR LF, in one
// open-write-close. Creates the log when it is missing; writes only a regular
// file (or a link to one), never a FIFO or a device in its place. False, with
// the reason, when the log cannot be opened or a write fails.
bool AppendToLog(const QStringList &lines, QString *error = nullptr);
