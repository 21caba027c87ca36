#include "FolderListing.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// A folder's modification time moves in clock ticks of a few milliseconds:
// a listing taken within this margin of the last change may have missed a
// second change in the same tick, so it is not reused.
constexpr qint64 kTickMarginNs = 50 * 1000 * 1000;

qint64 nanoseconds(const timespec &t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Listing
{
    QString folder;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 changedNs = -1;
    bool reusable = false;
    QHash<QString, QStringList> byFoldedName;
};

bool sameFolderState(const Listing &listing, const QString &folder, const struct stat &st)
{
    return listing.reusable && listing.folder == folder && listing.device == st.st_dev
        && listing.inode == st.st_ino && listing.changedNs == nanoseconds(st.st_mtim);
}

void list(Listing &listing, const QString &folder, const struct stat &st)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    listing.folder = folder;
    listing.device = st.st_dev;
    listing.inode = st.st_ino;
    listing.changedNs = nanoseconds(st.st_mtim);
    listing.reusable = nanoseconds(now) - listing.changedNs > kTickMarginNs;
    listing.byFoldedName.clear();
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            listing.byFoldedName[name.toCaseFolded()].append(name);
    }
    ::closedir(dir);
    for (QStringList &names : listing.byFoldedName)
        std::sort(names.begin(), names.end());
}

} // namespace

QStringList entriesMatchingIgnoringCase(const QString &folder, const QString &name)
{
    static Listing listing;
    const QString where = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).absoluteFilePath();
    struct stat st;
    if (::stat(QFile::encodeName(where).constData(), &st) != 0)
        return {};
    if (!sameFolderState(listing, where, st))
        list(listing, where, st);
    return listing.byFoldedName.value(name.toCaseFolded());
}
