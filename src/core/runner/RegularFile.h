#pragma once

#include <QFile>
#include <QString>

// Opens a file only when it is a regular file (a link to one is followed). A
// FIFO, a device or a folder in its place is refused before anything could
// block on it or read from it without end. The mode is ReadOnly or
// WriteOnly | Append (which creates a missing file), with Unbuffered if wanted.
// False, with the reason, when it cannot be opened; the file is then closed.
bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *reason = nullptr);
