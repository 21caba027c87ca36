#include "archive/SaveFolderSetting.h"

#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString saveFolderFileName()
{
    return QStringLiteral("SaveFolder.txt");
}

QString readSaveFolder()
{
    QFile file;
    if (!openRegularFile(file, resolveFileName(saveFolderFileName()), QIODevice::ReadOnly))
        return {};
    // One path is all it holds; a huge file is not read whole.
    QByteArray line = file.read(qint64(64) * 1024);
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    return effectiveSaveFolder(QFile::decodeName(line));
}

QString unusableSaveFolder(const QString &folder)
{
    return folder.contains(u'\n') ? QStringLiteral("its name holds a line break") : QString();
}

bool writeSaveFolder(const QString &folder, QString *error)
{
    const QString chosen = effectiveSaveFolder(folder);
    const QString path = resolveFileName(saveFolderFileName());
    QString reason = unusableSaveFolder(chosen);
    if (reason.isEmpty() && !refusedAsLink(path, &reason)) {
        if (chosen.isEmpty())
            return deleteFile(saveFolderFileName(), error);
        if (replaceOwnFile(path, QFile::encodeName(chosen) + '\n', &reason))
            return true;
    }
    if (error)
        *error = QStringLiteral("The save folder could not be remembered in %1: %2").arg(saveFolderFileName(), reason);
    return false;
}

QString effectiveSaveFolder(const QString &chosen)
{
    if (chosen.isEmpty() || chosen.contains(QChar(0)) || QDir::isRelativePath(chosen))
        return {};
    QString clean = QDir::cleanPath(chosen);
    const QFileInfo here(QDir::currentPath());
    const QFileInfo there(clean);
    if (clean == QDir::cleanPath(QDir::currentPath())
        || (there.exists() && there.canonicalFilePath() == here.canonicalFilePath()))
        return {};
    return clean;
}
