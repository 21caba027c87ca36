#include "archive/SavedRecords.h"

#include "archive/FolderProbe.h"
#include "common/RecordLines.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No saved file's path comes near this; a longer path is shown cut.
constexpr qsizetype kMostShownPath = 400;

QString escaped(QString field)
{
    return field.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\n', QStringLiteral("\\n"));
}

QString unescaped(QStringView field)
{
    QString plain;
    plain.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\' || i + 1 == field.size()) {
            plain += field[i];
            continue;
        }
        const QChar next = field[++i];
        plain += next == u't' ? QChar(u'\t') : next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : next;
    }
    return plain;
}

// The last bytes before `end`, to tell a record only added to from one written
// over in place (a copy over it keeps its inode); empty when they cannot be read.
QByteArray bytesBefore(int handle, qint64 end)
{
    QByteArray bytes(qsizetype(std::min<qint64>(end, 4096)), Qt::Uninitialized);
    return ::pread(handle, bytes.data(), size_t(bytes.size()), end - bytes.size()) == bytes.size() ? bytes : QByteArray();
}

// The key of a line, as key() makes it however the line escapes its fields;
// empty when the line is no entry.
QByteArray lineKey(const QByteArray &line)
{
    if (line.startsWith('#') || line.count('\t') < 4)
        return {};
    QByteArray written = line.left(line.indexOf('\t', line.indexOf('\t', line.indexOf('\t') + 1) + 1));
    if (!written.contains('\\'))
        return written;
    const QString text = QString::fromUtf8(written);
    const QList<QStringView> fields = QStringView(text).split(u'\t');
    return SavedRecords::key(unescaped(fields[0]), unescaped(fields[1]), unescaped(fields[2]));
}

// The sixth field as written: "sha256:" and 64 hex digits, read in lowercase.
QByteArray sumOf(QStringView field, bool *damaged)
{
    static const QLatin1StringView prefix("sha256:");
    const QStringView digits = field.mid(prefix.size());
    *damaged = !field.startsWith(prefix) || digits.size() != 64
               || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
                      return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
                  });
    return *damaged ? QByteArray() : digits.toLatin1().toLower();
}

} // namespace

QString SavedRecords::fileName()
{
    return QStringLiteral("SavedRecordings.txt");
}

QByteArray SavedRecords::key(const QString &recorderName, const QString &title, const QString &recordDate)
{
    return QStringList{escaped(recorderName), escaped(title), escaped(recordDate)}.join(u'\t').toUtf8();
}

SavedRecords SavedRecords::load(const QSet<QByteArray> &wanted)
{
    SavedRecords records;
    records.update(wanted);
    return records;
}

SavedRecords SavedRecords::loadAll()
{
    SavedRecords records;
    records.m_all = true;
    records.update({});
    return records;
}

void SavedRecords::update(const QSet<QByteArray> &wanted)
{
    QFile file;
    struct stat st;
    const bool all = m_all;
    if ((wanted.isEmpty() && !all) || !openRegularFile(file, resolveFileName(fileName()), QIODevice::ReadOnly)
        || ::fstat(file.handle(), &st) != 0) {
        *this = {};
        m_all = all;
        return;
    }
    const bool added = wanted == m_wanted && quint64(st.st_dev) == m_device && quint64(st.st_ino) == m_inode
                       && st.st_size >= m_readTo && bytesBefore(file.handle(), m_readTo) == m_lastRead
                       && file.seek(m_readTo);
    if (!added) {
        *this = {};
        m_all = all;
        m_wanted = wanted;
        m_device = quint64(st.st_dev);
        m_inode = quint64(st.st_ino);
    }
    readOn(file);
    m_lastRead = bytesBefore(file.handle(), m_readTo);
}

void SavedRecords::readOn(QIODevice &device)
{
    RecordLines lines(device);
    QByteArray line, ending;
    while (lines.next(line, ending)) {
        // A last line without its end may be half written: it is read again next time.
        if (!ending.isEmpty())
            m_readTo = lines.position();
        const QByteArray key = line.size() < RecordLines::kDefaultCap ? lineKey(line) : QByteArray();
        if (key.isEmpty() || (!m_all && !m_wanted.contains(key)))
            continue;
        const QString text = QString::fromUtf8(line);
        const QList<QStringView> fields = QStringView(text).split(u'\t');
        SavedRecording saved{unescaped(fields[0]), unescaped(fields[1]), unescaped(fields[2]),
                             unescaped(fields[3]), unescaped(fields[4])};
        if (fields.size() > 5)
            saved.sha256 = sumOf(fields[5], &saved.sumDamaged);
        if (!saved.path.startsWith(u'/'))
            continue;
        if (const auto earlier = m_at.constFind(key); earlier != m_at.cend()) {
            recordings[*earlier] = saved;
        } else {
            m_at.insert(key, recordings.size());
            recordings.append(saved);
        }
    }
}

const SavedRecording *SavedRecords::find(const QString &recorderName, const QString &title,
                                         const QString &recordDate) const
{
    for (const SavedRecording &saved : recordings) {
        if (saved.recorderName == recorderName && saved.title == title && saved.recordDate == recordDate)
            return &saved;
    }
    return nullptr;
}

bool SavedRecords::note(const SavedRecording &saved, QString *error)
{
    QFile file;
    QString reason;
    // Unbuffered, so that what failed to be written is not written later on closing.
    if (openRegularFile(file, resolveFileName(fileName()),
                        QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered, &reason)) {
        const qint64 before = file.size();
        // A last line left without its end (a crash while writing, an edit)
        // is ended first, so it cannot swallow the new entry.
        QByteArray bytes;
        char last = '\n';
        if (file.size() == 0)
            bytes = "# Recordings Kelvado saved: recorder file name, title, recording date, saved at, saved file, sum\n";
        else if (::pread(file.handle(), &last, 1, file.size() - 1) != 1 || last != '\n')
            bytes = "\n";
        bytes += line(saved);
        if (file.write(bytes) == bytes.size() && file.flush()) {
            if (::fsync(file.handle()) == 0)
                return true;
            reason = QString::fromLocal8Bit(std::strerror(errno));
        } else {
            reason = file.errorString();
        }
        // A line cut short (a full disk) would name a wrong path: what was written of it is taken back.
        if (::ftruncate(file.handle(), before) != 0)
            reason += QStringLiteral("; a part of the line may be left");
    }
    if (error)
        *error = QStringLiteral("The record of saved recordings, %1, could not be written: %2").arg(fileName(), reason);
    return false;
}

QByteArray SavedRecords::line(const SavedRecording &saved)
{
    // A name starting with "#" is escaped, or its line would read as a comment.
    const QString name = escaped(saved.recorderName);
    QStringList fields{name.startsWith(u'#') ? u'\\' + name : name, escaped(saved.title), escaped(saved.recordDate),
                       escaped(saved.savedAt), escaped(saved.path)};
    if (!saved.sha256.isEmpty())
        fields << QStringLiteral("sha256:") + QString::fromLatin1(saved.sha256);
    return (fields.join(u'\t') + u'\n').toUtf8();
}

QString SavedRecords::timeText(const QDateTime &at)
{
    return at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString savedDescription(const SavedRecording &saved)
{
    const std::optional<bool> there = FolderProbe::isFile(saved.path);
    QString when = saved.savedAt.left(16);
    if (when.size() == 16 && when[10] == u'T')
        when[10] = u' ';
    const QString path = saved.path.size() <= kMostShownPath
                             ? saved.path
                             : saved.path.left(kMostShownPath / 2) + u'…' + saved.path.right(kMostShownPath / 2);
    return QStringLiteral("Saved %1 as %2\n%3")
        .arg(when, path,
             !there   ? QStringLiteral("Its folder does not answer.")
             : *there ? QStringLiteral("The file is still there.")
                      : QStringLiteral("The file is no longer there."));
}

QUrl savedFolderUrl(const SavedRecording &saved)
{
    if (!saved.path.startsWith(u'/'))
        return {};
    // "//srv/rec" is a folder here, not a host: cleaned to "/srv/rec", the address names no host.
    const QString folder = QDir::cleanPath(QFileInfo(saved.path).path());
    return FolderProbe::isFolder(folder).value_or(false) ? QUrl::fromLocalFile(folder) : QUrl();
}

QString escapedField(const QString &text)
{
    return escaped(text);
}
