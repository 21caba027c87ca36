#include "archive/SaveFolderMove.h"

#include "runner/FileNames.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = qint64(4) << 20;
constexpr auto kSum = QCryptographicHash::Blake2b_256;

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

MoveResult failed(const QString &reason)
{
    return {false, reason};
}

// Reads the whole file from where it stands, summing what it reads; each
// chunk is also handed to write. False with the reason when a read fails.
bool readSummed(QFile &from, QCryptographicHash &sum, const std::function<bool(QByteArrayView)> &write, QString *reason)
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
        sum.addData(piece);
        if (write && !write(piece))
            return false;
        // Gigabytes take a while: the window keeps painting and answering.
        QCoreApplication::processEvents();
    }
}

// Writes a piece at the copy's end and starts it on its way to the disk, once
// what came before is there: little is then left for the final flush, which
// cannot give the window a turn while it waits.
bool writeThrough(QFile &copy, QByteArrayView piece, qint64 at)
{
    if (copy.write(piece.data(), piece.size()) != piece.size() || !copy.flush())
        return false;
    constexpr unsigned kWaitForAll = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    ::sync_file_range(copy.handle(), 0, at, kWaitForAll);
    ::sync_file_range(copy.handle(), at, piece.size(), SYNC_FILE_RANGE_WRITE);
    return true;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

MoveResult copyIntoFolder(const QString &source, const QString &folder, const QString &name,
                          const CopyProgress &progress)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("could not read %1: %2").arg(source, from.errorString()));
    const qint64 total = from.size();

    // Removed again by itself on every way out but the last.
    QTemporaryFile copy(inFolder(folder, QStringLiteral(".kelvado-copy-XXXXXX")));
    if (!copy.open())
        return failed(QStringLiteral("could not write in %1: %2").arg(folder, copy.errorString()));

    QString reason;
    QCryptographicHash sent(kSum);
    qint64 copied = 0;
    const bool read = readSummed(
        from, sent,
        [&](QByteArrayView piece) {
            if (!writeThrough(copy, piece, copied)) {
                reason = QStringLiteral("copy to %1 failed: %2").arg(folder, copy.errorString());
                return false;
            }
            copied += piece.size();
            if (progress)
                progress(copied, total);
            return true;
        },
        &reason);
    if (!read)
        return failed(reason);
    if (!copy.flush() || ::fsync(copy.handle()) != 0)
        return failed(QStringLiteral("copy to %1 not written to the disk: %2").arg(folder, systemError(errno)));
    if (copy.size() != total || copied != total)
        return failed(QStringLiteral("copy in %1 has the wrong size").arg(folder));

    // Read back what the disk holds, not what is still in memory.
    ::posix_fadvise(copy.handle(), 0, 0, POSIX_FADV_DONTNEED);
    QCryptographicHash kept(kSum);
    if (!copy.seek(0) || !readSummed(copy, kept, {}, &reason))
        return failed(reason.isEmpty() ? QStringLiteral("copy in %1 could not be read back").arg(folder) : reason);
    if (kept.result() != sent.result())
        return failed(QStringLiteral("copy in %1 differs from the download").arg(folder));

    const QString target = inFolder(folder, name);
    if (const int err = renamePathNoReplace(copy.fileName(), target))
        return failed(err == EEXIST ? QStringLiteral("save name taken")
                                    : QStringLiteral("not renamed: %1: %2").arg(target, systemError(err)));
    copy.setAutoRemove(false);
    syncFolder(folder);
    // The recording is safe in the save folder; a source that cannot be removed
    // is moved aside before the next download under its name.
    ::unlink(QFile::encodeName(source).constData());
    return {true, {}};
}

} // namespace

QString inFolder(const QString &folder, const QString &name)
{
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

MoveResult moveIntoFolder(const QString &fileName, const QString &folder, const QString &name,
                          const CopyProgress &progress)
{
    const QString source = resolveFileName(fileName);
    const QString target = inFolder(folder, name);
    const int err = renamePathNoReplace(source, target);
    if (err == 0)
        return {true, {}};
    if (err == EXDEV)
        return copyIntoFolder(source, folder, name, progress);
    return failed(err == EEXIST ? QStringLiteral("save name taken")
                                : QStringLiteral("not renamed: %1: %2").arg(target, systemError(err)));
}
