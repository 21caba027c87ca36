#include "download/DownloadSession.h"

#include "common/LeadingNumber.h"
#include "common/NumberMask.h"
#include "common/UserMessage.h"
#include "desktop/SessionCompanion.h"
#include "download/LeftoverFile.h"
#include "download/SaveName.h"
#include "download/TitleTransfer.h"
#include "download/TransferCommand.h"
#include "log/LogRecords.h"
#include "log/LogWriter.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScreenPointer.h"
#include "runner/FileNames.h"
#include "runner/Pause.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

namespace {

// Sizes are subtracted in whole ten-thousandths so that the total comes back
// to exactly 0 after the last title.
double minusInByteCount(double total, ByteCount size)
{
    return (ByteCount::fromDouble(total) - size).toDouble();
}

} // namespace

DownloadSession::DownloadSession(Form1 &window)
    : w(window)
{
}

void DownloadSession::run()
{
    w.DownloadInProgress = true;
    w.List1->setEnabled(false);
    appendLog(LogRecords::sessionHeader());
    setScreenPointer(ScreenPointer::Hourglass);

    const int count = buildQueue();
    w.companion().sessionStarted(w.TotalSize);
    for (int position = 1; position <= count; ++position)
        downloadTitle(position);

    endSession();
}

int DownloadSession::buildQueue()
{
    SessionState &s = w.Session;
    s.TaggedIndex.fill(0);
    int count = 0;
    const int rows = std::min({int(w.TitleCount), w.List1->count(), Form1::kTableSize});
    for (int row = 0; row < rows; ++row) {
        if (w.List1->item(row)->checkState() != Qt::Checked)
            continue;
        // Rows beyond the queue stay ticked for a later session.
        if (count == SessionState::kQueueLast) {
            ++m_summary.notQueued;
            continue;
        }
        ++count;
        s.TaggedFileName[count] = w.FileNames[row];
        s.TaggedIndex[count] = static_cast<short>(row);
    }
    return count;
}

void DownloadSession::downloadTitle(int position)
{
    SessionState &s = w.Session;
    const int row = s.TaggedIndex[position];
    const QString fieldText = s.TaggedFileName[position];
    // What the tool writes, watched and renamed under; the table keeps the text as read.
    const QString fileName = usableRecorderName(fieldText);

    s.SaveAsName.clear();
    w.Text3->setText(QStringLiteral("Downloading "));
    w.Text4->setText(fieldText);
    s.SaveAsName = chooseFreeName(saveNameFor(w.Titles[row], w.RecordDates[row]), saveNameTaken);

    // Read once, so the start record and the command line agree; a change made
    // during the session applies from the next title on.
    const QString delay = w.DelayFactor;
    appendLog(LogRecords::titleStart(s.SaveAsName, delay));
    w.Text7->setText(s.SaveAsName);

    const ByteCount expected = ByteCount::fromDouble(w.FileSizes[row]);
    if (fileName.isEmpty()) {
        failTitle(fieldText, QStringLiteral("unsafe recorder file name"), expected);
        return;
    }
    // Whatever is already under the name would be written over by the tool,
    // and could later be taken for this title's download.
    const NameClearing clearing = clearRecorderName(fileName);
    for (const KeptFile &kept : clearing.kept) {
        appendLog(LogRecords::fileKept(s.SaveAsName, kept.fileName, kept.keptAs));
        m_summary.kept.append(kept);
    }
    if (!clearing.refusal.isEmpty()) {
        failTitle(fileName, clearing.refusal, expected);
        return;
    }

    TitleTransfer transfer(s.stallLimits());
    const TransferPlan plan = transferPlan(w.IPAddress->text(), fileName, delay);
    const ToolRunResult run = transfer.start(plan, fileName);
    if (!run.started) {
        if (plan.waited)
            tellUser(run.error); // as every waited run tells it
        failTitle(fileName, run.error, expected);
        return;
    }

    w.Text6->setText(maskBlankZero(w.TotalSize));
    s.ExpectedSize = expected;
    w.Text8->setText(maskBlankZero(expected.toDouble()));
    s.FileLeft = 0;
    s.CurrentSize = 0;
    w.companion().titleStarted(expected.toDouble(), w.TotalSize);
    Pause(s.pauseBeforeWatch());

    const TitleTransfer::Outcome outcome = transfer.watch(fileName, expected, [this, expected](ByteCount current) {
        SessionState &state = w.Session;
        state.CurrentSize = current.toDouble();
        state.FileLeft = (expected - current).toDouble();
        w.Text8->setText(maskZero(state.FileLeft));
        w.Text6->setText(maskZero(w.TotalSize - state.CurrentSize));
        w.companion().titleProgress(state.CurrentSize, w.TotalSize - state.CurrentSize);
    });

    if (outcome.result != TitleTransfer::Result::Complete) {
        if (outcome.result == TitleTransfer::Result::Larger)
            w.Text8->setText(QStringLiteral("0"));
        failTitle(fileName, outcomeReason(outcome), expected);
        return;
    }
    // Never overwrite: a taken name (all six taken, or one that appeared
    // meanwhile) leaves the file under the recorder's name.
    if (saveNameTaken(s.SaveAsName)) {
        failTitle(fileName, QStringLiteral("save name taken"), expected);
        return;
    }
    finishTitle(row, fileName, expected);
}

void DownloadSession::finishTitle(int row, const QString &fileName, ByteCount expected)
{
    SessionState &s = w.Session;
    w.TotalSize = minusInByteCount(w.TotalSize, expected);
    w.Text6->setText(maskBlankZero(w.TotalSize));
    w.Text8->setText(QStringLiteral("0"));

    QListWidgetItem *item = w.List1->item(row);
    item->setCheckState(Qt::Unchecked);
    const QString taggedBefore = w.Text5->text();
    w.Text5->setText(plainNumber(leadingNumber(taggedBefore) - 1));
    QApplication::beep();

    w.Text3->setText(QStringLiteral("Renaming Mpeg"));
    Pause(s.pauseBeforeRename());

    QString error;
    if (!renameNoReplace(fileName, s.SaveAsName, &error)) {
        // The title is not done after all: tick and count it again.
        item->setCheckState(Qt::Checked);
        w.Text5->setText(taggedBefore);
        const QString reason =
            saveNameTaken(s.SaveAsName) ? QStringLiteral("save name taken") : QStringLiteral("not renamed: ") + error;
        failTitle(fileName, reason, expected, true);
        return;
    }
    appendLog(LogRecords::titleFinish(s.SaveAsName));
    ++m_saved;
    if (expected == ByteCount{})
        m_summary.unchecked.append({s.SaveAsName, fileName});
}

void DownloadSession::failTitle(const QString &fileName, const QString &reason, ByteCount expected, bool sizeCounted)
{
    // What is still to come no longer includes this title.
    if (!sizeCounted)
        w.TotalSize = minusInByteCount(w.TotalSize, expected);
    w.Text6->setText(maskBlankZero(w.TotalSize));
    w.Text3->setText(failedStatus(reason));
    appendLog(LogRecords::titleFailed(w.Session.SaveAsName, reason));
    m_summary.failed.append({w.Session.SaveAsName, fileName, reason});
}

void DownloadSession::endSession()
{
    w.Text3->setText(QStringLiteral("Session End"));
    w.Text4->clear();
    appendLog(LogRecords::sessionEnd());
    setScreenPointer(ScreenPointer::Default);
    w.DownloadInProgress = false;
    w.Text7->clear();
    w.List1->setEnabled(true);

    w.companion().sessionEnded(m_saved, int(m_summary.failed.size()));
    const QString message = sessionEndMessage(m_summary);
    if (!message.isEmpty())
        tellUser(message);
}

void DownloadSession::appendLog(const QStringList &lines)
{
    QString error;
    if (AppendToLog(lines, &error) || !m_summary.logProblem.isEmpty())
        return;
    // The log is for the reader only: the downloads go on without it. The
    // status line says so now, and the end message again.
    m_summary.logProblem = error;
    w.Text3->setText(error);
}
