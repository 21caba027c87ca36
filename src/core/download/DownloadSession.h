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

    // Titles beyond the queue's 200 are left for a later session. bytesTagged
    // is the total the window shows for the tagged titles.
    DownloadSession(QList<QueuedTitle> titles, double bytesTagged, ConnectionNow connection,
                    const SessionTiming &timing = {}, QObject *parent = nullptr);

    // The whole session, from its log header to the end message.
    void run();

signals:
    void sessionStarted(double bytesToCome);
    void statusChanged(const QString &text);
    void titleStarted(const QString &recorderName);
    void saveNameChosen(const QString &saveName);
    void transferStarted(double expectedBytes, double bytesToCome);
    void progress(double currentBytes, double bytesLeftOfTitle, double bytesStillToCome);
    // The file grew past its size: nothing is left of it.
    void titleOvershot();
    // Complete, before its rename: the row is done unless the rename fails.
    void titleComplete(int row, double bytesToCome);
    void titleFinished(int row, const QString &saveName);
    // wasComplete: titleComplete came first and is taken back.
    void titleFailed(int row, const QString &reason, double bytesToCome, bool wasComplete);
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
    MoveResult moveToSaveFolder(const QString &fileName);
    void endSession();
    void appendLog(const QStringList &lines);

    QList<QueuedTitle> m_titles;
    double m_bytesToCome; // the tagged total less every title done or failed
    ConnectionNow m_connection;
    SessionTiming m_timing;
    SessionSummary m_summary;
    QString SaveAsName;
    QString m_saveFolder; // the current title's; empty for the working folder
    int m_saved = 0;
};
