#include "startup/FolderLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const QString &folder)
    : m_folder(QDir::toNativeSeparators(QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath()))
{
    const QByteArray path = folder.isEmpty() ? QByteArray(".") : QFile::encodeName(folder);
    m_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    int result;
    do
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_state = State::Held;
        return;
    }
    const int error = errno;
    m_state = error == EWOULDBLOCK                       ? State::Busy
              : (error == ENOLCK || error == EOPNOTSUPP) ? State::NoLocking
                                                         : State::Failed;
    m_error = QString::fromLocal8Bit(std::strerror(error));
    ::close(m_fd);
    m_fd = -1;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString FolderLock::message() const
{
    switch (m_state) {
    case State::Held:
        return {};
    case State::Busy:
        return QStringLiteral("another Kelvado is working in %1").arg(m_folder);
    case State::NoLocking:
        return QStringLiteral("The folder %1 cannot be locked (%2): another Kelvado working there would not be "
                              "noticed.")
            .arg(m_folder, m_error);
    case State::Failed:
        break;
    }
    return QStringLiteral("The folder %1 cannot be locked: %2").arg(m_folder, m_error);
}
