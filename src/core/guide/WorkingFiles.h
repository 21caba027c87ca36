#pragma once

#include <QString>

class QFile;

// Reading and removing the small files the tools leave in the working folder.
// Names are matched without regard to letter case.
struct TextFileRead
{
    enum class Status { Ok, Missing, Unreadable };
    Status status = Status::Missing;
    QString text;  // decoded; CR LF, LF or CR line ends as written
    QString error; // for Unreadable, why
};

// Opens the file of that name (any letter case) for reading, only when it is
// a regular file.
TextFileRead::Status openWorkingFile(const QString &name, QFile &file, QString *error);

// Reads the whole file, or its first maxBytes; only a regular file is read.
TextFileRead readWorkingTextFile(const QString &name, qint64 maxBytes = -1);

// Deletes every file the name matches in any letter case. False (with the
// reason for the first) when one of them cannot be removed; the others still go.
bool removeWorkingFile(const QString &name, QString *error);
