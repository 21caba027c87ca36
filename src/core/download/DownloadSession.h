#pragma once

#include "archive/SaveFolderMove.h"
#include "common/ByteCount.h"
#include "download/SessionInputs.h"
#include "download/SessionReport.h"

#include <QObject>

#include <array>

// One run of "Extract Mpeg(s)": downloads the queued titles one after another,
// renames each complete file or moves it into the save folder, notes it as
// saved and writes the log. A title that cannot be completed fails on its own:
// its file keeps the recorder's name and the session goes on. What happens is
// reported through the signals, in order; the window shows it.
class DownloadSession : public QObject
{
    Q_OBJECT

public:
    static constexpr int kQueueLimit = 200; // titles one session takes

    // All the ticked titles: those beyond the queue's 200 are left for a later
    // session, but their bytes are still left.
    DownloadSession(QList<QueuedTitle> titles, ConnectionNow connection, const SessionTiming &timing = {},
                    QObject *parent = nullptr);

    // The whole session, from its log header to the end message.
    void run();

signals:
    // bytesLeft: what is left of the ticked titles, the sizes of all of them
    // less those saved; a failed title stays ticked, so its bytes are left too.
    void sessionStarted(double bytesLeft);
    void statusChanged(const QString &text);
    void titleStarted(const QString &recorderName);
    void saveNameChosen(const QString &saveName);
    // Before anything of the title is tried, so what is shown for the file is
    // this title's from its start.
    void titleSized(double expectedBytes, double bytesLeft);
    // Never below 0, also when the file grows past its size.
    void progress(double currentBytes, double bytesLeftOfTitle, double bytesLeftNow);
    // The file grew past its size: nothing is left of it.
    void titleOvershot();
    // Complete, before its rename: the row is done unless the rename fails.
    void titleComplete(int row, double bytesLeft);
    void titleFinished(int row, const QString &saveName);
    // wasComplete: titleComplete came first and is taken back.
    void titleFailed(int row, const QString &reason, double bytesLeft, bool wasComplete);
    void messageForUser(const QString &text);
    // message: what to tell after the end; empty when there is nothing.
    void sessionEnded(int saved, int failed, const QString &message);

private:
    void downloadTitle(const QueuedTitle &title);
    void finishTitle(const QueuedTitle &title, const QString &fileName, ByteCount expected);
    void failTitle(const QueuedTitle &title, const QString &fileName, const QString &reason, ByteCount expected,
                   bool wasComplete = false);
    // A whole download that could not take its name: the reason says so, and
    // where the download is kept.
    void failSaving(const QueuedTitle &title, const QString &fileName, const QString &reason, ByteCount expected,
                    bool wasComplete);
    // Renames the complete file in the working folder, or moves it into the save folder.
    // A copy into another file system is checked against `sum`, the download's.
    MoveResult moveToSaveFolder(const QString &fileName, const QByteArray &sum);
    // Rewrites the receiving folder's SHA256SUMS; what went wrong is logged
    // and told once at the end.
    void updateChecksumList();
    void endSession();
    void appendLog(const QStringList &lines);

    QList<QueuedTitle> m_titles;
    ByteCount m_bytesLeft; // the ticked titles' sizes less every title saved
    ConnectionNow m_connection;
    SessionTiming m_timing;
    SessionSummary m_summary;
    QString SaveAsName;
    QString m_saveFolder; // the current title's; empty for the working folder
    int m_saved = 0;
};
