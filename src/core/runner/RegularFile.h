#pragma once

#include <QFile>
#include <QString>

// Opens a file only when it is a regular file. A FIFO, a device or a folder in
// its place is refused before anything could block on it or read from it
// without end. The mode is ReadOnly (a link to a file is followed), or
// WriteOnly | Append or ReadWrite | Append, which create a missing file and
// refuse a link: Kelvado never writes through one in place of its own file.
// False, with the reason, when it cannot be opened; the file is then closed.
bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *reason = nullptr);

// True, with the reason, when a symbolic link lies under the path.
bool refusedAsLink(const QString &path, QString *reason);

// Replaces a small file of Kelvado's own whole through a temporary file, so a
// crash leaves either the old or the new one. A link in its place is refused,
// and neither it nor its target is touched.
bool replaceOwnFile(const QString &path, const QByteArray &bytes, QString *reason);
