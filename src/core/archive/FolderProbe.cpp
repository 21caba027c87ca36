#include "archive/FolderProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include <sys/stat.h>

namespace FolderProbe {

namespace {

// Shared with the looks, which may outlive everything else.
struct Registry
{
    std::mutex mutex;
    std::condition_variable ended;
    QSet<QString> looking; // folders with a look not yet returned
    std::function<void(const QString &)> hook;
};

const std::shared_ptr<Registry> &registry()
{
    static const auto shared = std::make_shared<Registry>();
    return shared;
}

QString folderKey(const QString &folder)
{
    return QDir::cleanPath(folder.isEmpty() ? QStringLiteral(".") : folder);
}

bool isKind(const QString &path, mode_t kind)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

} // namespace

bool answered(const QString &folder, std::function<void()> look)
{
    const std::shared_ptr<Registry> &shared = registry();
    const QString key = folderKey(folder);
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (shared->looking.contains(key))
        return false;
    shared->looking.insert(key);
    auto done = std::make_shared<bool>(false); // guarded by the registry's mutex
    try {
        std::thread([shared, key, done, hook = shared->hook, look = std::move(look)] {
            if (hook)
                hook(key);
            look();
            const std::lock_guard<std::mutex> ending(shared->mutex);
            shared->looking.remove(key);
            *done = true;
            shared->ended.notify_all();
        }).detach();
    } catch (const std::system_error &) { // no thread to be had: the folder is not looked at
        shared->looking.remove(key);
        return false;
    }
    return shared->ended.wait_for(lock, std::chrono::milliseconds(kLimitMs), [&done] { return *done; });
}

std::optional<bool> isFile(const QString &path)
{
    return lookAt<bool>(QFileInfo(path).path(), [path] { return isKind(path, S_IFREG); });
}

std::optional<bool> isFolder(const QString &path)
{
    return lookAt<bool>(path, [path] { return isKind(path, S_IFDIR); });
}

void setLookHook(std::function<void(const QString &folder)> hook)
{
    const std::lock_guard<std::mutex> lock(registry()->mutex);
    registry()->hook = std::move(hook);
}

} // namespace FolderProbe
