#include "runner/FileNames.h"

#include "runner/FolderListing.h"
#include "common/TextTrim.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

QString resolveFileName(const QString &name)
{
    if (name.isEmpty() || entryExists(name))
        return name;
    const qsizetype slash = name.lastIndexOf(u'/');
    const QString dirPath = slash >= 0 ? name.left(slash + 1) : QString();
    const QString base = slash >= 0 ? name.mid(slash + 1) : name;
    if (base.isEmpty())
        return name;
    const QStringList matches = entriesMatchingIgnoringCase(dirPath, base);
    return matches.isEmpty() ? name : dirPath + matches.first();
}

bool FileExists(const QString &name)
{
    if (name.isEmpty())
        return false;
    const QString path = resolveFileName(name);
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return true;
}

ByteCount BigFileLen(const QString &name)
{
    if (name.isEmpty())
        return {};
    struct stat st;
    if (::stat(QFile::encodeName(resolveFileName(name)).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return ByteCount::fromBytes(static_cast<qint64>(st.st_size));
}

bool deleteFile(const QString &name, QString *error)
{
    const QString path = resolveFileName(name);
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = QStringLiteral("Cannot delete %1: %2").arg(path, systemError(errno));
    return false;
}

bool renameNoReplace(const QString &from, const QString &to, QString *error)
{
    const QString source = resolveFileName(from);
    const QString target = resolveFileName(to);
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (entryExists(target))
        return fail(QStringLiteral("%1 already exists").arg(target));
    if (const int err = renamePathNoReplace(source, to))
        return fail(QStringLiteral("Cannot rename %1 to %2: %3").arg(source, to, systemError(err)));
    return true;
}

int renamePathNoReplace(const QString &from, const QString &to)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without an atomic no-replace rename: a hard link fails when
    // the target exists, so nothing can be overwritten.
    if (::link(src.constData(), dst.constData()) != 0)
        return errno;
    ::unlink(src.constData());
    return 0;
}

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(u'/') && !name.contains(QChar(0));
}

QString usableRecorderName(const QString &guideField)
{
    const QString name = withoutTrailingBlanks(guideField);
    const bool usable = isPlainFileName(name) && !name.startsWith(u'-')
        && std::none_of(name.begin(), name.end(), [](QChar c) {
               return c == u'\\' || c == u'"' || c == u' ' || c.category() == QChar::Other_Control;
           });
    return usable ? name : QString();
}

QStringList nameVariants(const QString &name)
{
    QStringList variants;
    if (entryExists(name))
        variants << name;
    for (const QString &entry : entriesMatchingIgnoringCase({}, name)) {
        if (entry != name)
            variants << entry;
    }
    return variants;
}
