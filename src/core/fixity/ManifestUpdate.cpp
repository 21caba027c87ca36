#include "fixity/ManifestUpdate.h"

#include "fixity/Manifest.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr int kMostKeptLists = 999;

QSet<QByteArray> lines(const QByteArray &text)
{
    QSet<QByteArray> set;
    for (const QByteArray &line : text.split('\n'))
        set.insert(line);
    return set;
}

// Whether the list there holds only lines Kelvado writes for the folder now.
bool ownList(const QString &path, const QString &folder, QString *reason)
{
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly, reason))
        return false;
    const QSet<QByteArray> own = lines(Manifest::text(SavedRecords::loadAll().recordings, folder));
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (!own.contains(line))
            return false;
    }
    return true;
}

} // namespace

QString ManifestUpdate::keptText(const QString &folder) const
{
    if (keptAs.isEmpty())
        return {};
    return QStringLiteral("%1 held a %2 Kelvado did not write; it is kept as %3.")
        .arg(folder, Manifest::fileName(), QFileInfo(keptAs).fileName());
}

ManifestUpdate updateManifest(const QString &folder)
{
    ManifestUpdate update;
    const QString absolute
        = QDir::cleanPath(QDir::current().absoluteFilePath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString path = QDir(absolute).filePath(Manifest::fileName());
    struct stat st;
    QString reason;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && !ownList(path, absolute, &reason)) {
        for (int n = 1; n <= kMostKeptLists && update.keptAs.isEmpty(); ++n) {
            const QString candidate = path + QStringLiteral(".kept-%1").arg(n);
            const int err = renamePathNoReplace(path, candidate);
            if (err == 0)
                update.keptAs = candidate;
            else if (err != EEXIST)
                break;
        }
        if (update.keptAs.isEmpty()) {
            update.error = QStringLiteral("The checksum list %1 is not Kelvado's and could not be kept aside%2")
                               .arg(path, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
            return update;
        }
    }
    Manifest::write(folder, &update.error);
    return update;
}
