#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

class QDateTime;
class QIODevice;

// A recording Kelvado saved, known by the recorder's file name, title and
// recording date as the guide gives them.
struct SavedRecording
{
    QString recorderName;
    QString title;
    QString recordDate;
    QString savedAt; // local time as written, yyyy-MM-ddTHH:mm:ss
    QString path; // the saved file, absolute
    // The file's SHA-256 when it was saved, as 64 lowercase hex digits; empty
    // when none was recorded (a line written before sums were kept).
    QByteArray sha256 = {};
    // The line has a sixth field that is no "sha256:" and 64 hex digits.
    bool sumDamaged = false;
};

// The record of saved recordings, kept in the working folder as one line per
// recording: five fields separated by tabs, and a sixth, "sha256:" and the
// file's sum in hex, on lines written since sums are kept; with "\\", tab, CR and LF written
// as "\\\\", "\\t", "\\r" and "\\n". Kelvado only ever adds a line at its end,
// so every line already there stays exactly as it is, whatever it holds; a
// later line for a recording counts over an earlier one. Lines starting with
// "#", lines of fewer fields or of 64 KB or more, and entries whose path is not
// absolute count for nothing; fields past the sixth are passed over.
class SavedRecords
{
public:
    static QString fileName();

    // What names a recording in the record, for load().
    static QByteArray key(const QString &recorderName, const QString &title, const QString &recordDate);

    // What the working folder's record holds about the recordings wanted,
    // read to its end a line at a time; other lines are passed over unparsed.
    static SavedRecords load(const QSet<QByteArray> &wanted);
    // Every recording the record holds, each by its latest line.
    static SavedRecords loadAll();

    // Brings this up to date with the record. As Kelvado only adds to it, only
    // what was added since the last look is read while the same recordings
    // are wanted from the same file; else it is read afresh.
    void update(const QSet<QByteArray> &wanted);

    const SavedRecording *find(const QString &recorderName, const QString &title, const QString &recordDate) const;

    // Adds the recording as a line at the end of the record and sends it on to
    // the disk. A link in the record's place is refused, not followed.
    static bool note(const SavedRecording &saved, QString *error = nullptr);

    static QByteArray line(const SavedRecording &saved);
    static QString timeText(const QDateTime &at);

    QList<SavedRecording> recordings;

private:
    void readOn(QIODevice &device);

    QSet<QByteArray> m_wanted;
    bool m_all = false; // every recording is wanted
    QHash<QByteArray, qsizetype> m_at; // where each recording's entry is in recordings
    quint64 m_device = 0, m_inode = 0;
    qint64 m_readTo = 0; // the end of the last whole line read
    QByteArray m_lastRead; // the bytes up to there, to see the record was not written over
};

// For the row's tooltip: where and when it was saved, and whether the file is
// still there; a path too long to show is cut in its middle.
QString savedDescription(const SavedRecording &saved);

// The saved file's folder as a local-file address for the desktop; empty when
// the path is not absolute or its folder is not there.
QUrl savedFolderUrl(const SavedRecording &saved);

// Text written as a field of the record is: backslash, tab, CR and LF escaped.
QString escapedField(const QString &text);
