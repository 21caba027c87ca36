#include "archive/SaveFolderMove.h"

#include "archive/CopyInProgress.h"
#include "fixity/Sha256.h"
#include "runner/BackgroundWork.h"
#include "runner/FileNames.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = qint64(4) << 20;

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

MoveResult failed(const QString &reason)
{
    return {false, reason, {}};
}

// Reads the whole file from where it stands, summing what it reads; each
// chunk is also handed to write. False with the reason when a read fails.
bool readSummed(QFile &from, Sha256 &sum, const std::function<bool(QByteArrayView)> &write, QString *reason)
{
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = from.read(chunk.data(), kChunk);
        if (got < 0) {
            *reason = QStringLiteral("could not read %1: %2").arg(from.fileName(), from.errorString());
            return false;
        }
        if (got == 0)
            return true;
        const QByteArrayView piece(chunk.constData(), got);
        sum.add(piece);
        if (!write(piece))
            return false;
    }
}

// The words for a failed write: a full disk (or quota) is said as such.
QString copyFailed(const QString &folder, int err)
{
    if (err == ENOSPC || err == EDQUOT)
        return QStringLiteral("no space left on %1").arg(folder);
    return QStringLiteral("copy to %1 failed: %2").arg(folder, systemError(err));
}

// Writes a piece at the copy's end and starts it on its way to the disk, once
// what came before is there: little is then left for the final flush.
// 0, or the system's error.
int writeThrough(int fd, QByteArrayView piece, qint64 at)
{
    const char *data = piece.data();
    qsizetype left = piece.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : ENOSPC;
        data += written;
        left -= written;
    }
    constexpr unsigned kWaitForAll = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    ::sync_file_range(fd, 0, at, kWaitForAll);
    ::sync_file_range(fd, at, piece.size(), SYNC_FILE_RANGE_WRITE);
    return 0;
}

// 0, or why the folder's new entry may not be on the disk yet.
int syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno; // EINVAL: the folder cannot be flushed
    ::close(fd);
    return err;
}

// The same file, unchanged: one written into after it was read holds more
// than its copy.
bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
           && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

MoveResult copyIntoFolder(const QString &source, const QString &folder, const QString &name, QByteArray sum,
                          const CopyProgress &progress)
{
    QFile from(source);
    struct stat read;
    if (!from.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("could not read %1: %2").arg(source, from.errorString()));
    if (::fstat(from.handle(), &read) != 0)
        return failed(QStringLiteral("could not read %1: %2").arg(source, systemError(errno)));
    const qint64 total = read.st_size;

    CopyInProgress copy(folder); // removed again on every way out but the last
    if (copy.handle() < 0)
        return failed(copy.error() == ENOSPC || copy.error() == EDQUOT
                          ? copyFailed(folder, copy.error())
                          : QStringLiteral("could not write in %1: %2").arg(folder, systemError(copy.error())));
    // Readable by the same people as a download renamed on one file system.
    // Where the file system fixes the modes itself (vfat, some shares) it may refuse.
    ::fchmod(copy.handle(), read.st_mode & 0777);

    QString reason;
    Sha256 sent;
    qint64 copied = 0;
    const bool wasRead = readSummed(
        from, sent,
        [&](QByteArrayView piece) {
            if (const int err = writeThrough(copy.handle(), piece, copied)) {
                reason = copyFailed(folder, err);
                return false;
            }
            copied += piece.size();
            if (progress)
                BackgroundWork::onStartingThread([&] { progress(copied, total); });
            return true;
        },
        &reason);
    if (!wasRead)
        return failed(reason);
    if (::fsync(copy.handle()) != 0)
        return failed(errno == ENOSPC || errno == EDQUOT
                          ? copyFailed(folder, errno)
                          : QStringLiteral("copy to %1 not written to the disk: %2").arg(folder, systemError(errno)));
    struct stat written;
    if (copied != total || ::fstat(copy.handle(), &written) != 0 || written.st_size != total)
        return failed(QStringLiteral("copy in %1 has the wrong size").arg(folder));

    // Read back what the disk holds, not what is still in memory, and hold it
    // against the download's own sum: what reaches the archive is what the
    // transfer tool wrote.
    if (sum.isEmpty())
        sum = sent.hex();
    ::posix_fadvise(copy.handle(), 0, 0, POSIX_FADV_DONTNEED);
    const FileSum kept = sumFile(QStringLiteral("/proc/self/fd/%1").arg(copy.handle()));
    if (kept.hex.isEmpty())
        return failed(QStringLiteral("copy in %1 could not be read back: %2").arg(folder, kept.error));
    if (kept.hex != sum)
        return failed(QStringLiteral("copy in %1 differs from the download").arg(folder));

    const QString target = inFolder(folder, name);
    if (const int err = copy.giveName(name))
        return failed(err == EEXIST ? QStringLiteral("save name taken")
                                    : QStringLiteral("not renamed: %1: %2").arg(target, systemError(err)));
    // A disk pulled now may lose the new name: the download stays until it is safe.
    if (const int err = syncFolder(folder))
        return {true,
                {},
                QStringLiteral("%1 was copied to %2, but the folder could not be written to the disk (%3); the "
                               "download is kept")
                    .arg(source, target, systemError(err))};
    // The recording is safe in the save folder. Only the file that was read
    // goes, as it was read: one put under its name or written into meanwhile
    // holds what was never copied. A source that cannot be removed is moved
    // aside before the next download under its name.
    const QByteArray path = QFile::encodeName(source);
    struct stat now;
    if (::lstat(path.constData(), &now) != 0)
        return {true, {}, {}};
    if (sameFile(now, read)) {
        ::unlink(path.constData());
        return {true, {}, {}};
    }
    return {true,
            {},
            QStringLiteral("%1 was replaced or changed while it was copied; the file now under that name was not "
                           "saved and is kept")
                .arg(source)};
}

} // namespace

QString inFolder(const QString &folder, const QString &name)
{
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

MoveResult moveIntoFolder(const QString &fileName, const QString &folder, const QString &name, const QByteArray &sum,
                          const CopyProgress &progress)
{
    const QString source = resolveFileName(fileName);
    const QString target = inFolder(folder, name);
    const int err = renamePathNoReplace(source, target);
    if (err == 0)
        return {true, {}, {}};
    if (err == EXDEV) {
        MoveResult copied;
        runInBackground([&] { copied = copyIntoFolder(source, folder, name, sum, progress); });
        return copied;
    }
    return failed(err == EEXIST ? QStringLiteral("save name taken")
                                : QStringLiteral("not renamed: %1: %2").arg(target, systemError(err)));
}
