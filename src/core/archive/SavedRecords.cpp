#include "archive/SavedRecords.h"

#include "archive/FolderProbe.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace {

constexpr qint64 kMostRead = qint64(16) << 20;

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

QString timeFormat()
{
    return QStringLiteral("yyyy-MM-ddTHH:mm:ss");
}

bool sameRecording(const SavedRecording &a, const SavedRecording &b)
{
    return a.recorderName == b.recorderName && a.title == b.title && a.recordDate == b.recordDate;
}

} // namespace

QString SavedRecords::fileName()
{
    return QStringLiteral("SavedRecordings.txt");
}

SavedRecords SavedRecords::load()
{
    QFile file;
    if (!openRegularFile(file, resolveFileName(fileName()), QIODevice::ReadOnly))
        return {};
    return parse(file.read(kMostRead));
}

const SavedRecording *SavedRecords::find(const QString &recorderName, const QString &title,
                                         const QString &recordDate) const
{
    const SavedRecording wanted{recorderName, title, recordDate, {}, {}};
    for (const SavedRecording &saved : recordings) {
        if (sameRecording(saved, wanted))
            return &saved;
    }
    return nullptr;
}

bool SavedRecords::note(const SavedRecording &saved, QString *error)
{
    SavedRecords all = load();
    all.recordings.removeIf([&saved](const SavedRecording &earlier) { return sameRecording(earlier, saved); });
    all.recordings.append(saved);

    QSaveFile file(resolveFileName(fileName()));
    const QByteArray bytes = all.text();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && ::fsync(file.handle()) == 0 && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("The record of saved recordings, %1, could not be written: %2")
                     .arg(fileName(), file.errorString());
    return false;
}

SavedRecords SavedRecords::parse(const QByteArray &bytes)
{
    SavedRecords records;
    for (const QByteArray &line : bytes.split('\n')) {
        const QString text = QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
        const QList<QStringView> fields = QStringView(text).split(u'\t');
        if (text.startsWith(u'#') || fields.size() != 5)
            continue;
        SavedRecording saved{unescaped(fields[0]), unescaped(fields[1]), unescaped(fields[2]),
                             QDateTime::fromString(fields[3].toString(), timeFormat()), unescaped(fields[4])};
        if (saved.savedAt.isValid() && !saved.path.isEmpty())
            records.recordings.append(saved);
    }
    return records;
}

QByteArray SavedRecords::text() const
{
    QString text = QStringLiteral("# Recordings Kelvado saved: recorder file name, title, recording date, "
                                  "saved at, saved file\n");
    for (const SavedRecording &saved : recordings) {
        text += QStringList{escaped(saved.recorderName), escaped(saved.title), escaped(saved.recordDate),
                            saved.savedAt.toString(timeFormat()), escaped(saved.path)}
                    .join(u'\t')
                + u'\n';
    }
    return text.toUtf8();
}

QString savedDescription(const SavedRecording &saved)
{
    const std::optional<bool> there = FolderProbe::isFile(saved.path);
    return QStringLiteral("Saved %1 as %2\n%3")
        .arg(saved.savedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")), saved.path,
             !there ? QStringLiteral("Its folder does not answer.")
             : *there ? QStringLiteral("The file is still there.")
                      : QStringLiteral("The file is no longer there."));
}
