#include "startup/WorkingFolder.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

QString enterWorkingFolder(const QByteArray &folder, bool create)
{
    // The name is used as the bytes it is; only the messages decode it.
    const QString shown = QDir::toNativeSeparators(QFile::decodeName(folder));
    struct stat st;
    if (create && ::stat(folder.constData(), &st) != 0 && !QDir().mkpath(QFile::decodeName(folder)))
        return QStringLiteral("kelvado: Cannot create the folder '%1'.").arg(shown);
    if (::stat(folder.constData(), &st) != 0)
        return QStringLiteral("kelvado: The folder '%1' does not exist.").arg(shown);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("kelvado: '%1' is not a folder.").arg(shown);
    if (::chdir(folder.constData()) != 0)
        return QStringLiteral("kelvado: Cannot enter the folder '%1'.").arg(shown);
    return {};
}

QString shortFolderName(const QString &folder, const QString &home)
{
    const QString path = QDir::cleanPath(folder);
    const QString base = QDir::cleanPath(home);
    if (!base.isEmpty() && path == base)
        return QStringLiteral("~");
    if (!base.isEmpty() && path.startsWith(base + u'/'))
        return QDir::toNativeSeparators(QStringLiteral("~") + path.mid(base.size()));
    return QDir::toNativeSeparators(path);
}
