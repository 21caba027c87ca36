#include "runner/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString folded(const char *rawName)
{
    return QFile::decodeName(rawName).toCaseFolded();
}

QStringList scan(const QString &folder, const QString &name)
{
    QStringList matches;
    DIR *dir = ::opendir(folder.isEmpty() ? "." : QFile::encodeName(folder).constData());
    if (!dir)
        return matches;
    while (const dirent *entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name).compare(name, Qt::CaseInsensitive) == 0)
            matches << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    std::sort(matches.begin(), matches.end());
    return matches;
}

// The working folder's names by their case-folded form, kept in step through inotify.
class WorkingFolderIndex
{
public:
    WorkingFolderIndex() = default;
    ~WorkingFolderIndex() { close(); }
    // One owner for the inotify descriptor: a copy would close it twice.
    WorkingFolderIndex(const WorkingFolderIndex &) = delete;
    WorkingFolderIndex &operator=(const WorkingFolderIndex &) = delete;

    // False when the folder cannot be watched; the caller then scans it.
    bool lookup(const QString &name, QStringList &matches)
    {
        struct stat st;
        if (::stat(".", &st) != 0)
            return false;
        const QString path = QDir::currentPath();
        if (m_fd < 0 || path != m_path || st.st_dev != m_device || st.st_ino != m_inode) {
            if (!rebuild(path, st))
                return false;
        } else if (!catchUp() && !rebuild(path, st)) {
            return false;
        }
        matches = m_names.value(name.toCaseFolded());
        std::sort(matches.begin(), matches.end());
        return true;
    }

private:
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_names.clear();
    }

    bool rebuild(const QString &path, const struct stat &st)
    {
        close();
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0)
            return false;
        // Watch first, then list: a change while listing is then seen again, never missed.
        if (::inotify_add_watch(m_fd, ".", IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF
                                               | IN_MOVE_SELF | IN_ONLYDIR) < 0) {
            close();
            return false;
        }
        DIR *dir = ::opendir(".");
        if (!dir) {
            close();
            return false;
        }
        while (const dirent *entry = ::readdir(dir)) {
            const char *raw = entry->d_name;
            if (std::strcmp(raw, ".") != 0 && std::strcmp(raw, "..") != 0)
                add(raw);
        }
        ::closedir(dir);
        m_path = path;
        m_device = st.st_dev;
        m_inode = st.st_ino;
        return catchUp();
    }

    void add(const char *raw)
    {
        QStringList &names = m_names[folded(raw)];
        const QString name = QFile::decodeName(raw);
        if (!names.contains(name))
            names << name;
    }

    void remove(const char *raw)
    {
        const QString key = folded(raw);
        auto it = m_names.find(key);
        if (it == m_names.end())
            return;
        it->removeAll(QFile::decodeName(raw));
        if (it->isEmpty())
            m_names.remove(key);
    }

    // Applies what happened since the last look. False when the notes were
    // lost or the folder itself went: the index must be built again.
    bool catchUp()
    {
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got < 0)
                return errno == EAGAIN || errno == EWOULDBLOCK;
            if (got == 0)
                return false;
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
                    return false;
                if (event->len > 0) {
                    if (event->mask & (IN_CREATE | IN_MOVED_TO))
                        add(event->name);
                    else if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                        remove(event->name);
                }
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    int m_fd = -1;
    QString m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    QHash<QString, QStringList> m_names;
};

} // namespace

QStringList entriesMatchingIgnoringCase(const QString &folder, const QString &name)
{
    if (!folder.isEmpty() && folder != QLatin1String("./"))
        return scan(folder, name);
    static WorkingFolderIndex index;
    QStringList matches;
    if (index.lookup(name, matches))
        return matches;
    return scan(folder, name);
}
