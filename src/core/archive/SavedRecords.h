#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A recording Kelvado saved, known by the recorder's file name, title and
// recording date as the guide gives them.
struct SavedRecording
{
    QString recorderName;
    QString title;
    QString recordDate;
    QDateTime savedAt;
    QString path; // the saved file, absolute
};

// The record of saved recordings, kept in the working folder as one line per
// recording: the five fields separated by tabs, with "\\", tab, CR and LF
// written as "\\\\", "\\t", "\\r" and "\\n"; the time as yyyy-MM-ddTHH:mm:ss.
// Lines starting with "#" and lines of another shape are skipped.
class SavedRecords
{
public:
    static QString fileName();

    // What the working folder's record holds; empty when there is none.
    static SavedRecords load();

    const SavedRecording *find(const QString &recorderName, const QString &title, const QString &recordDate) const;

    // Adds the recording, or replaces the earlier save of the same one, and
    // rewrites the record as a whole so a crash never leaves half of it.
    static bool note(const SavedRecording &saved, QString *error = nullptr);

    static SavedRecords parse(const QByteArray &bytes);
    QByteArray text() const;

    QList<SavedRecording> recordings;
};

// For the row's tooltip: where and when it was saved, and whether the file is still there.
QString savedDescription(const SavedRecording &saved);
