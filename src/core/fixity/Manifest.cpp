#include "fixity/Manifest.h"

#include "runner/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace Manifest {

QString fileName()
{
    return QStringLiteral("SHA256SUMS");
}

QByteArray line(const QByteArray &hex, const QString &name)
{
    QByteArray escaped = QFile::encodeName(name);
    const bool escapes = escaped.contains('\\') || escaped.contains('\n') || escaped.contains('\r');
    escaped.replace('\\', "\\\\").replace('\n', "\\n").replace('\r', "\\r");
    return (escapes ? "\\" : "") + hex + "  " + escaped + '\n';
}

QByteArray text(const QList<SavedRecording> &saved, const QString &folder)
{
    const QString here = QDir::cleanPath(folder);
    QMap<QString, QByteArray> sums; // by name; a later entry for the same file counts
    for (const SavedRecording &recording : saved) {
        const QFileInfo file(QDir::cleanPath(recording.path));
        if (!recording.sha256.isEmpty() && file.path() == here)
            sums.insert(file.fileName(), recording.sha256);
    }
    QByteArray lines;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        lines += line(it.value(), it.key());
    return lines;
}

bool write(const QString &folder, QString *error)
{
    const QString absolute = QDir::current().absoluteFilePath(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString path = QDir(absolute).filePath(fileName());
    QString reason;
    if (replaceOwnFile(path, text(SavedRecords::loadAll().recordings, QDir::cleanPath(absolute)), &reason))
        return true;
    if (error)
        *error = QStringLiteral("The checksum list %1 could not be written: %2").arg(path, reason);
    return false;
}

} // namespace Manifest
