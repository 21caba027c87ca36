#include "archive/DiskSpace.h"

#include "archive/FolderProbe.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

DiskState realDisk(const QString &folder)
{
    DiskState disk;
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    struct stat st;
    struct statvfs vfs;
    if (::stat(path.constData(), &st) != 0 || ::statvfs(path.constData(), &vfs) != 0) {
        disk.error = QString::fromLocal8Bit(std::strerror(errno));
        return disk;
    }
    if (!S_ISDIR(st.st_mode)) {
        disk.error = QString::fromLocal8Bit(std::strerror(ENOTDIR));
        return disk;
    }
    disk.known = true;
    disk.device = st.st_dev;
    disk.freeBytes = qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
    return disk;
}

DiskProbe &probe()
{
    static DiskProbe current = realDisk;
    return current;
}

QString folderName(const QString &folder)
{
    return QDir::toNativeSeparators(QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absolutePath());
}

// The two places a recording passes through, and what each must hold.
struct Need
{
    QString what;
    QString folder;
    DiskState disk;
    double bytes;

    double free() const { return double(disk.freeBytes); }
};

QList<Need> needs(double totalBytes, double workingBytes, const QString &saveFolder)
{
    const DiskState working = diskOf({});
    if (saveFolder.isEmpty())
        return {{QStringLiteral("Working folder"), {}, working, totalBytes}};
    const DiskState save = diskOf(saveFolder);
    const bool shared = working.known && save.known && working.device == save.device;
    if (shared)
        return {{QStringLiteral("Working and save folder"), saveFolder, save, totalBytes}};
    return {{QStringLiteral("Working folder"), {}, working, workingBytes},
            {QStringLiteral("Save folder"), saveFolder, save, totalBytes}};
}

} // namespace

DiskState diskOf(const QString &folder)
{
    // A folder on a mount that stopped answering is not waited for.
    const DiskProbe look = probe();
    return FolderProbe::lookAt<DiskState>(folder, [look, folder] { return look(folder); })
        .value_or(DiskState{false, 0, 0, QStringLiteral("it does not answer")});
}

void setDiskProbe(DiskProbe newProbe)
{
    probe() = newProbe ? std::move(newProbe) : DiskProbe(realDisk);
}

QString roomText(double bytes)
{
    return QLocale::c().formattedDataSize(qint64(bytes), 1, QLocale::DataSizeSIFormat);
}

QString sessionRoomShortfall(double taggedBytes, double largestBytes, const QString &saveFolder)
{
    QStringList lines;
    for (const Need &need : needs(taggedBytes, largestBytes, saveFolder)) {
        if (!need.disk.known)
            lines << QStringLiteral("%1 (%2): cannot be reached: %3.")
                         .arg(need.what, folderName(need.folder), need.disk.error);
        else if (need.free() < need.bytes)
            lines << QStringLiteral("%1 (%2): %3 needed, %4 free.")
                         .arg(need.what, folderName(need.folder), roomText(need.bytes), roomText(need.free()));
    }
    return lines.join(u'\n');
}

QString titleRoomProblem(double bytes, const QString &saveFolder)
{
    for (const Need &need : needs(bytes, bytes, saveFolder)) {
        if (!need.disk.known)
            return QStringLiteral("%1 not available: %2 (%3)")
                .arg(need.what.toLower(), folderName(need.folder), need.disk.error);
        if (need.free() < need.bytes)
            return QStringLiteral("not enough space: %1 needed, %2 free in %3")
                .arg(roomText(need.bytes), roomText(need.free()), folderName(need.folder));
    }
    return {};
}
