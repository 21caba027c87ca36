#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The groups of lines the program log is made of. Each group is appended with
// one AppendToLog call.
namespace LogRecords {

QStringList creationHeader(const QDateTime &now = QDateTime::currentDateTime());
QStringList sessionHeader(const QDateTime &now = QDateTime::currentDateTime());
QStringList titleStart(const QString &saveName, const QString &delay,
                       const QDateTime &now = QDateTime::currentDateTime());
QStringList titleFinish(const QString &saveName, const QDateTime &now = QDateTime::currentDateTime());
// A title that could not be completed: kept under its recorder name.
QStringList titleFailed(const QString &saveName, const QString &reason,
                        const QDateTime &now = QDateTime::currentDateTime());
// A file found under the recorder's name before the transfer, moved aside.
QStringList fileKept(const QString &saveName, const QString &fileName, const QString &keptAs,
                     const QDateTime &now = QDateTime::currentDateTime());
QStringList sessionEnd();
QStringList termination();

} // namespace LogRecords
