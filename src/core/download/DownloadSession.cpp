#include "download/DownloadSession.h"

#include "archive/DiskSpace.h"
#include "archive/SavedRecords.h"

#include "download/LeftoverFile.h"
#include "download/SaveName.h"
#include "download/TitleTransfer.h"
#include "download/TransferCommand.h"
#include "fixity/Manifest.h"
#include "fixity/ManifestUpdate.h"
#include "fixity/Sha256.h"
#include "log/LogRecords.h"
#include "log/LogWriter.h"
#include "runner/BackgroundWork.h"
#include "runner/FileNames.h"
#include "runner/Pause.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

DownloadSession::DownloadSession(QList<QueuedTitle> titles, ConnectionNow connection, const SessionTiming &timing,
                                 QObject *parent)
    : QObject(parent)
    , m_titles(std::move(titles))
    , m_connection(std::move(connection))
    , m_timing(timing)
{
    // Counted in whole ten-thousandths, so the total comes back to exactly 0
    // once every title is saved.
    for (const QueuedTitle &title : std::as_const(m_titles))
        m_bytesLeft = m_bytesLeft + ByteCount::fromDouble(title.size);
    // Rows beyond the queue stay ticked for a later session.
    if (m_titles.size() > kQueueLimit) {
        m_summary.notQueued = int(m_titles.size()) - kQueueLimit;
        m_titles.resize(kQueueLimit);
    }
}

void DownloadSession::run()
{
    appendLog(LogRecords::sessionHeader());
    emit sessionStarted(m_bytesLeft.toDouble());
    for (const QueuedTitle &title : std::as_const(m_titles))
        downloadTitle(title);
    endSession();
}

void DownloadSession::downloadTitle(const QueuedTitle &title)
{
    // What the tool writes, watched and renamed under; the list keeps the text as read.
    const QString fileName = usableRecorderName(title.recorderName);

    SaveAsName.clear();
    // The boxes are this title's before the status says it is downloading.
    const ByteCount expected = ByteCount::fromDouble(title.size);
    emit titleStarted(title.recorderName);
    emit titleSized(expected.toDouble(), m_bytesLeft.toDouble());
    emit statusChanged(QStringLiteral("Downloading "));
    // Read once, so the start record, the command line and the save folder agree.
    const Connection connection = m_connection();
    m_saveFolder = connection.saveFolder;
    SaveAsName = chooseFreeName(saveNameFor(title.title, title.recordDate), nameTakenIn(m_saveFolder));
    appendLog(LogRecords::titleStart(SaveAsName, connection.delay));
    emit saveNameChosen(SaveAsName);

    if (fileName.isEmpty()) {
        failTitle(title, title.recorderName, QStringLiteral("unsafe recorder file name"), expected);
        return;
    }
    // Whatever is already under the name would be written over by the tool,
    // and could later be taken for this title's download.
    const NameClearing clearing = clearRecorderName(fileName);
    for (const KeptFile &kept : clearing.kept) {
        appendLog(LogRecords::fileKept(SaveAsName, kept.fileName, kept.keptAs));
        m_summary.kept.append(kept);
    }
    if (!clearing.refusal.isEmpty()) {
        failTitle(title, fileName, clearing.refusal, expected);
        return;
    }

    if (const QString problem = titleRoomProblem(title.size, m_saveFolder); !problem.isEmpty()) {
        failTitle(title, fileName, problem, expected);
        return;
    }

    TitleTransfer transfer(m_timing.stall);
    const TransferPlan plan = transferPlan(connection.address, fileName, connection.delay);
    const ToolRunResult run = transfer.start(plan, fileName);
    if (!run.started) {
        if (plan.waited)
            emit messageForUser(run.error); // as every waited run tells it
        failTitle(title, fileName, run.error, expected);
        return;
    }

    Pause(m_timing.pauseBeforeWatch);

    const TitleTransfer::Outcome outcome = transfer.watch(fileName, expected, [this, expected](ByteCount current) {
        // Bytes past the title's size are not taken off what is left of the others.
        const ByteCount got = std::min(current, expected);
        emit progress(current.toDouble(), (expected - got).toDouble(), (m_bytesLeft - got).toDouble());
    });

    if (outcome.result != TitleTransfer::Result::Complete) {
        if (outcome.result == TitleTransfer::Result::Larger)
            emit titleOvershot();
        failTitle(title, fileName, outcomeReason(outcome), expected);
        return;
    }
    // Never overwrite: a taken name (all six taken, or one that appeared
    // meanwhile) leaves the file under the recorder's name.
    if (nameTakenIn(m_saveFolder)(SaveAsName)) {
        failSaving(title, fileName, QStringLiteral("save name taken"), expected, false);
        return;
    }
    finishTitle(title, fileName, expected);
}

void DownloadSession::finishTitle(const QueuedTitle &title, const QString &fileName, ByteCount expected)
{
    m_bytesLeft = m_bytesLeft - expected;
    emit titleComplete(title.row, m_bytesLeft.toDouble());
    emit statusChanged(QStringLiteral("Renaming Mpeg"));
    // The sum is read from what the tool wrote, on a thread of its own during
    // the pause, so the session only waits for what is left of it after.
    FileSum sum;
    {
        const QString path = resolveFileName(fileName);
        BackgroundWork summing([this, &sum, path] {
            if (m_timing.sums)
                sum = sumFile(path);
        });
        Pause(m_timing.pauseBeforeRename);
    }
    if (m_timing.sums && sum.hex.isEmpty()) {
        failSaving(title, fileName, QStringLiteral("its checksum could not be taken: ") + sum.error, expected, true);
        return;
    }

    const MoveResult move = moveToSaveFolder(fileName, sum.hex);
    if (!move.moved) {
        failSaving(title, fileName, move.reason, expected, true);
        return;
    }
    if (!move.note.isEmpty())
        m_summary.notes << SaveAsName + QStringLiteral(" was saved, but ") + move.note + u'.';
    appendLog(LogRecords::titleFinish(SaveAsName));
    ++m_saved;
    QString recordError;
    const QString savedPath = QDir::current().absoluteFilePath(inFolder(m_saveFolder, SaveAsName));
    if (!SavedRecords::note({title.recorderName, title.title, title.recordDate,
                             SavedRecords::timeText(QDateTime::currentDateTime()), savedPath, sum.hex},
                            &recordError))
        m_summary.recordProblem = recordError;
    else if (m_timing.sums)
        updateChecksumList();
    if (expected == ByteCount{})
        m_summary.unchecked.append({SaveAsName, fileName});
    emit titleFinished(title.row, SaveAsName);
}

void DownloadSession::updateChecksumList()
{
    ManifestUpdate update;
    runInBackground([&update, folder = m_saveFolder] { update = updateManifest(folder); });
    const QString where = QDir::toNativeSeparators(QDir::current().absoluteFilePath(m_saveFolder));
    QString told = update.keptText(where);
    if (!update.error.isEmpty())
        told = update.error
               + QStringLiteral("; the recordings saved in %1 are in the record with their sums.").arg(where);
    if (told.isEmpty() || m_summary.checksumLists.contains(told))
        return;
    m_summary.checksumLists << told;
    appendLog({SaveAsName + QStringLiteral(" Checksums: ") + told});
}

MoveResult DownloadSession::moveToSaveFolder(const QString &fileName, const QByteArray &sum)
{
    if (m_saveFolder.isEmpty()) {
        QString error;
        if (renameNoReplace(fileName, SaveAsName, &error))
            return {true, {}, {}};
        return {false, saveNameTaken(SaveAsName) ? QStringLiteral("save name taken") : error, {}};
    }
    int shown = -1;
    return moveIntoFolder(fileName, m_saveFolder, SaveAsName, sum, [this, &shown](qint64 copied, qint64 total) {
        const int percent = total > 0 ? int(copied * 100 / total) : 100;
        if (percent != shown)
            emit statusChanged(QStringLiteral("Copying to save folder %1%").arg(shown = percent));
    });
}

void DownloadSession::failTitle(const QueuedTitle &title, const QString &fileName, const QString &reason,
                                ByteCount expected, bool wasComplete)
{
    // The row stays ticked, or is ticked again: its bytes are still left.
    if (wasComplete)
        m_bytesLeft = m_bytesLeft + expected;
    emit titleFailed(title.row, reason, m_bytesLeft.toDouble(), wasComplete);
    emit statusChanged(failedStatus(reason));
    appendLog(LogRecords::titleFailed(SaveAsName, reason));
    m_summary.failed.append({SaveAsName, fileName, reason});
}

void DownloadSession::failSaving(const QueuedTitle &title, const QString &fileName, const QString &reason,
                                 ByteCount expected, bool wasComplete)
{
    const QString working = QDir::toNativeSeparators(QDir::currentPath());
    QString text = m_saveFolder.isEmpty()
                       ? QStringLiteral("downloaded, but could not be renamed: %1").arg(reason)
                       : QStringLiteral("downloaded, but could not be moved into %1: %2")
                             .arg(QDir::toNativeSeparators(QDir(m_saveFolder).absolutePath()), reason);
    text += (QFileInfo::exists(resolveFileName(fileName)) ? QStringLiteral("; it is kept in ")
                                                          : QStringLiteral("; it is no longer in "))
            + working;
    failTitle(title, fileName, text, expected, wasComplete);
    m_summary.failed.last().downloaded = true;
}

void DownloadSession::endSession()
{
    emit statusChanged(QStringLiteral("Session End"));
    appendLog(LogRecords::sessionEnd());
    m_summary.partialFolder = QDir::toNativeSeparators(QDir::currentPath());
    emit sessionEnded(m_saved, int(m_summary.failed.size()), sessionEndMessage(m_summary));
}

void DownloadSession::appendLog(const QStringList &lines)
{
    QString error;
    if (AppendToLog(lines, &error) || !m_summary.logProblem.isEmpty())
        return;
    // The log is for the reader only: the downloads go on without it. The
    // status line says so now, and the end message again.
    m_summary.logProblem = error;
    emit statusChanged(error);
}
