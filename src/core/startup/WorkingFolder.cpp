#include "startup/WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

QString enterWorkingFolder(const QString &folder, bool create)
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (create && !QFileInfo::exists(folder) && !QDir().mkpath(folder))
        return QStringLiteral("kelvado: Cannot create the folder '%1'.").arg(shown);
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("kelvado: The folder '%1' does not exist.").arg(shown);
    if (!info.isDir())
        return QStringLiteral("kelvado: '%1' is not a folder.").arg(shown);
    if (!QDir::setCurrent(folder))
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
