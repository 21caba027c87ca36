#include "archive/CopyInProgress.h"

#include "runner/EndOnSignal.h"
#include "runner/FileNames.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool g_unnamedRefused = false;

// The run's number and machine are in the name, so that a later start can
// tell a copy whose run is gone from one still being written.
const QRegularExpression &leftoverName()
{
    static const QRegularExpression name(QStringLiteral("^\\.kelvado-copy-([0-9]{1,10})@(.*)-[A-Za-z0-9]{6}$"));
    return name;
}

// The copy's lock says whether a run still writes it: a number that no longer
// runs here may be a run on another machine of the same name sharing the
// folder, or in another process namespace; one that runs may be another
// program. Only where the file system keeps no locks does the number decide.
// Anything but a plain file is not a copy.
bool runGone(int pid, const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    const bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const int lockError = !plain || ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    ::close(fd);
    return plain && (lockError == 0 || (lockError != EWOULDBLOCK && ::kill(pid, 0) != 0 && errno == ESRCH));
}

} // namespace

CopyInProgress::CopyInProgress(const QString &folder)
    : m_folder(folder)
{
    if (!g_unnamedRefused) {
        m_fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            return;
    }
    const QString name = QStringLiteral(".kelvado-copy-%1@%2-XXXXXX").arg(::getpid()).arg(QSysInfo::machineHostName());
    m_path = QFile::encodeName(QDir(folder).filePath(name));
    m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        m_path.clear();
        return;
    }
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    EndOnSignal::removeOnEnd(m_path);
}

CopyInProgress::~CopyInProgress()
{
    if (!m_path.isEmpty() && !m_named) {
        ::unlink(m_path.constData());
        EndOnSignal::keepOnEnd(m_path);
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

int CopyInProgress::giveName(const QString &name)
{
    const QString target = QDir(m_folder).filePath(name);
    if (m_path.isEmpty()) {
        // A link never replaces a file.
        const QByteArray to = QFile::encodeName(target);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) != 0
            && (errno != ENOENT || ::linkat(m_fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH) != 0))
            return errno;
    } else if (const int err = renamePathNoReplace(QFile::decodeName(m_path), target)) {
        return err;
    }
    m_named = true;
    EndOnSignal::keepOnEnd(m_path);
    return 0;
}

void CopyInProgress::setUnnamedRefused(bool refused)
{
    g_unnamedRefused = refused;
}

int removeLeftoverCopies(const QString &folder)
{
    int removed = 0;
    const QDir dir(folder);
    const QStringList names
        = dir.entryList({QStringLiteral(".kelvado-copy-*")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = leftoverName().match(name);
        const qint64 pid = match.captured(1).toLongLong();
        if (!match.hasMatch() || match.captured(2) != QSysInfo::machineHostName() || pid <= 0 || pid > INT_MAX
            || pid == ::getpid())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        if (runGone(int(pid), path) && ::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}
