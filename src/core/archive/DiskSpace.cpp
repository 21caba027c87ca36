#include "archive/DiskSpace.h"

#include "archive/FolderProbe.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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
    // A folder that takes no files would fail the title only once its whole
    // recording has come.
    if ((vfs.f_flag & ST_RDONLY) || ::access(path.constData(), W_OK | X_OK) != 0) {
        disk.error = QString::fromLocal8Bit(std::strerror(vfs.f_flag & ST_RDONLY ? EROFS : errno));
        return disk;
    }
    disk.known = true;
    disk.device = st.st_dev;
    disk.freeBytes = freeBytesOf(vfs.f_blocks, vfs.f_bavail, vfs.f_frsize);
    struct statx where;
    if (::statx(AT_FDCWD, path.constData(), 0, STATX_MNT_ID, &where) == 0 && (where.stx_mask & STATX_MNT_ID))
        disk.mount = where.stx_mnt_id;
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
    bool tooSmall() const { return disk.freeBytes != kNoLimit && free() < bytes; }
};

QList<Need> needs(double totalBytes, double workingBytes, const QString &saveFolder)
{
    const DiskState working = diskOf({});
    if (saveFolder.isEmpty())
        return {{QStringLiteral("Working folder"), {}, working, totalBytes}};
    const DiskState save = diskOf(saveFolder);
    const bool oneDisk = working.known && save.known && working.device == save.device;
    if (oneDisk) // renamed within one mount; copied, the download stays until its copy is whole
        return {{QStringLiteral("Working and save folder"), saveFolder, save,
                 working.mount == save.mount ? totalBytes : totalBytes + workingBytes}};
    return {{QStringLiteral("Working folder"), {}, working, workingBytes},
            {QStringLiteral("Save folder"), saveFolder, save, totalBytes}};
}

} // namespace

qint64 freeBytesOf(quint64 totalBlocks, quint64 availableBlocks, quint64 blockSize)
{
    if (totalBlocks == 0)
        return kNoLimit;
    quint64 bytes = 0;
    if (__builtin_mul_overflow(availableBlocks, blockSize, &bytes) || bytes > quint64(LLONG_MAX))
        return LLONG_MAX;
    return qint64(bytes);
}

DiskState diskOf(const QString &folder)
{
    // A folder on a mount that stopped answering is not waited for.
    const DiskProbe look = probe();
    return FolderProbe::lookAt<DiskState>(folder, [look, folder] { return look(folder); })
        .value_or(DiskState{false, 0, 0, QStringLiteral("it does not answer"), 0});
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
        else if (need.tooSmall())
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
        if (need.tooSmall())
            return QStringLiteral("not enough space: %1 needed, %2 free in %3")
                .arg(roomText(need.bytes), roomText(need.free()), folderName(need.folder));
    }
    return {};
}
