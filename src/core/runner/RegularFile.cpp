#include "runner/RegularFile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString notRegular()
{
    return QStringLiteral("it is not a regular file");
}

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

bool refusedAsLink(const QString &path, QString *reason)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    if (reason)
        *reason = QStringLiteral("it is a link, and Kelvado does not write through one; "
                                 "put a plain file, or nothing, in its place");
    return true;
}

bool replaceOwnFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    if (refusedAsLink(path, reason))
        return false;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, QString *reason)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const bool append = mode & QIODevice::Append;
    if (append && refusedAsLink(path, reason))
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    // Refused before the open: opening a device can already act on it.
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return fail(notRegular());

    // Non-blocking, so that a FIFO put in its place after the check cannot hold
    // the open; the handle itself is checked again below.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int writeMode = mode & QIODevice::ReadOnly ? O_RDWR : O_WRONLY;
    flags |= append ? writeMode | O_APPEND | O_CREAT | O_NOFOLLOW : O_RDONLY;
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0 && errno == ELOOP && append && refusedAsLink(path, reason))
        return false; // a link put there since the look
    if (fd < 0)
        return fail(errno == ENXIO ? notRegular() : systemError(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(notRegular());
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1)
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    return true;
}
