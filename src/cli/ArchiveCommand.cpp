#include "Commands.h"

#include "Console.h"
#include "GuideListing.h"
#include "archive/DiskSpace.h"
#include "archive/SaveFolderMove.h"
#include "archive/SaveFolderSetting.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/SleepInhibitor.h"
#include "download/DownloadSession.h"
#include "guide/RecordingMeasure.h"
#include "progress/ProgressText.h"
#include "startup/CommandLine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>

namespace {

bool chosenByTitle(const QString &title, const QStringList &wanted)
{
    if (wanted.isEmpty())
        return true;
    return std::any_of(wanted.cbegin(), wanted.cend(),
                       [&title](const QString &text) { return title.contains(text, Qt::CaseInsensitive); });
}

// Every recording not yet saved whose title is wanted.
QList<ListedRecording> chooseRecordings(const QList<ListedRecording> &recordings, const QStringList &titles)
{
    QList<ListedRecording> chosen;
    for (const ListedRecording &recording : recordings) {
        if (!recording.saved && chosenByTitle(plainTitle(recording.entry), titles))
            chosen.append(recording);
    }
    return chosen;
}

QString dryRunTotal(qsizetype count, double bytes)
{
    const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("%1 %2, %3 bytes")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("recording") : QStringLiteral("recordings"), grouped.toString(qint64(bytes)));
}

// Shows what a session reports: a line per title on standard output, the
// messages and the progress on standard error; keeps the machine awake while
// it runs and tells the desktop at its end.
class ArchiveReport
{
public:
    ArchiveReport(DownloadSession &session, const QList<QueuedTitle> &titles, const QString &saveFolder)
        : m_titles(titles)
    {
        QObject::connect(&session, &DownloadSession::sessionStarted, &session,
                         [this] { m_inhibitor.acquireForDownloads(); });
        QObject::connect(&session, &DownloadSession::titleStarted, &session, [this] { ++m_current; });
        QObject::connect(&session, &DownloadSession::titleSized, &session, [this](double expected, double) {
            m_expected = expected;
            m_rate.reset();
            m_clock.start();
            progress(0);
        });
        QObject::connect(&session, &DownloadSession::progress, &session,
                         [this](double current, double, double) { progress(current); });
        QObject::connect(
            &session, &DownloadSession::titleFinished, &session, [this, saveFolder](int row, const QString &name) {
                const QString path = QDir::current().absoluteFilePath(inFolder(saveFolder, name));
                Console::endProgress();
                Console::out(
                    QStringLiteral("saved\t%1\t%2").arg(Console::field(recorderName(row)), Console::field(path)));
            });
        QObject::connect(
            &session, &DownloadSession::titleFailed, &session, [this](int row, const QString &reason, double, bool) {
                Console::endProgress();
                Console::out(QStringLiteral("failed\t%1\t%2")
                                 .arg(Console::field(recorderName(row)), Console::field(Console::oneLine(reason))));
            });
        QObject::connect(&session, &DownloadSession::messageForUser, &session,
                         [](const QString &text) { Console::error(Console::oneLine(text)); });
        QObject::connect(&session, &DownloadSession::sessionEnded, &session,
                         [this](int saved, int failed, const QString &message) {
                             m_inhibitor.release();
                             m_notifier.sessionEnded(saved, failed);
                             if (!message.isEmpty())
                                 Console::error(Console::oneLine(message));
                             m_saved = saved;
                             m_failed = failed;
                         });
    }

    int saved() const { return m_saved; }
    int failed() const { return m_failed; }

private:
    QString recorderName(int row) const { return m_titles.at(row).recorderName; }

    void progress(double current)
    {
        m_rate.addSample(m_clock.elapsed(), current);
        const QString title = m_titles.value(m_current).title.trimmed();
        Console::progress(title, progressLine(current, m_expected, m_rate.bytesPerSecond()));
    }

    const QList<QueuedTitle> &m_titles;
    SleepInhibitor m_inhibitor;
    DesktopNotifier m_notifier;
    RateMeter m_rate;
    QElapsedTimer m_clock;
    double m_expected = 0;
    int m_current = -1;
    int m_saved = 0;
    int m_failed = 0;
};

} // namespace

int runArchive(const StartRequest &request)
{
    const CommandGuide guide = commandGuide(request);
    if (guide.status != 0)
        return guide.status;
    const QList<ListedRecording> chosen = chooseRecordings(guide.recordings, request.titles);

    // Measured as a click on the list measures the ticked rows.
    QList<TitleToMeasure> toMeasure;
    for (const ListedRecording &recording : chosen)
        toMeasure.append({recording.entry.fileName, recording.entry.title});
    const TaggingTotals totals = measureTitles(toMeasure);
    if (totals.abandoned)
        return CommandLine::kFailedStatus;
    for (const QString &message : totals.messages)
        Console::error(Console::oneLine(message));

    if (request.dryRun) {
        for (const ListedRecording &recording : chosen)
            Console::out(listLine(recording));
        Console::out(dryRunTotal(chosen.size(), totals.total));
        return 0;
    }

    QList<QueuedTitle> titles;
    double largest = 0;
    for (qsizetype i = 0; i < chosen.size(); ++i) {
        const GuideEntry &entry = chosen.at(i).entry;
        const double size = totals.sizes.value(i);
        titles.append({int(i), entry.fileName, entry.title, entry.recordDate, size});
        largest = std::max(largest, size);
    }
    if (titles.isEmpty()) {
        Console::out(QStringLiteral("0 saved, 0 failed"));
        return 0;
    }
    // Nobody is there to answer the window's question: the session goes on,
    // and each title's own room check fails one that cannot fit.
    const QString saveFolder = readSaveFolder();
    if (const QString shortfall = sessionRoomShortfall(totals.total, largest, saveFolder); !shortfall.isEmpty())
        Console::error(Console::oneLine(QStringLiteral("The chosen recordings may not fit: %1 Going on; a recording "
                                                       "that does not fit fails on its own.")
                                            .arg(shortfall)));

    // The same for every title: nobody changes the settings during the run.
    DownloadSession session(
        titles, [fixed = Connection{guide.connection.address, guide.connection.delay, saveFolder}] { return fixed; });
    ArchiveReport report(session, titles, saveFolder);
    session.run();
    Console::endProgress();
    Console::out(QStringLiteral("%1 saved, %2 failed").arg(report.saved()).arg(report.failed()));
    return report.failed() == 0 && report.saved() == titles.size() ? 0 : CommandLine::kFailedStatus;
}
