#include "archive/SaveFolderSetting.h"

#include "archive/FolderProbe.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The chosen folder as a path: empty when it is none or names the working folder in so many words.
QString folderPath(const QString &chosen)
{
    if (chosen.isEmpty() || chosen.contains(QChar(0)) || QDir::isRelativePath(chosen))
        return {};
    const QString clean = QDir::cleanPath(chosen);
    return clean == QDir::cleanPath(QDir::currentPath()) ? QString() : clean;
}

} // namespace

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
    if (line.endsWith('\r')) // written by an editor that ends lines with CR LF
        line.chop(1);
    // Start-up never looks at the folder itself: it may be on a mount that no longer answers.
    return folderPath(QFile::decodeName(line));
}

QString unusableSaveFolder(const QString &folder)
{
    // Either would be read back as the end of the line: another folder.
    return folder.contains(u'\n') || folder.contains(u'\r') ? QStringLiteral("its name holds a line break")
                                                            : QString();
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
    QString clean = folderPath(chosen);
    const QString here = QFileInfo(QDir::currentPath()).canonicalFilePath();
    // Another path to the working folder is the working folder; one that does not answer is not it.
    const auto isHere = [clean, here] {
        const QFileInfo there(clean);
        return there.exists() && there.canonicalFilePath() == here;
    };
    if (clean.isEmpty() || FolderProbe::lookAt<bool>(clean, isHere).value_or(false))
        return {};
    return clean;
}
