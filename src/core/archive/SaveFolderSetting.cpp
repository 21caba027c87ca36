#include "archive/SaveFolderSetting.h"

#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool writeSaveFolder(const QString &folder, QString *error)
{
    const QString chosen = effectiveSaveFolder(folder);
    if (chosen.isEmpty())
        return deleteFile(saveFolderFileName(), error);
    QSaveFile file(resolveFileName(saveFolderFileName()));
    const QByteArray line = QFile::encodeName(chosen) + '\n';
    if (file.open(QIODevice::WriteOnly) && file.write(line) == line.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("The save folder could not be remembered in %1: %2")
                     .arg(saveFolderFileName(), file.errorString());
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
