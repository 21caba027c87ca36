#pragma once

#include "common/ByteCount.h"
#include "download/SessionReport.h"

#include <QList>
#include <QString>
#include <QStringList>

class Form1;

// One run of "Extract Mpeg(s)": downloads the ticked titles of the main window
// one after another, shows the progress in its boxes, renames each complete
// file and writes the log. A title that cannot be completed fails on its own:
// its file keeps the recorder's name, its row stays ticked and the session goes
// on; one message after the end lists such titles.
class DownloadSession
{
public:
    explicit DownloadSession(Form1 &window);

    // The whole session, from marking itself as running to the end steps. The
    // caller has checked that no session runs and that titles were tagged.
    void run();

private:
    int buildQueue();
    void downloadTitle(int position);
    void finishTitle(int row, const QString &fileName, ByteCount expected);
    void failTitle(const QString &fileName, const QString &reason, ByteCount expected, bool sizeCounted = false);
    void endSession();
    void appendLog(const QStringList &lines);

    Form1 &w;
    SessionSummary m_summary;
    int m_saved = 0;
};
