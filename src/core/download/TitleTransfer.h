#pragma once

#include "common/ByteCount.h"
#include "download/TransferCommand.h"
#include "runner/StallWatch.h"
#include "runner/ToolRunner.h"

#include <QEventLoop>
#include <QProcess>
#include <QString>

#include <functional>

// One title's transfer: runs the transfer tool and watches the file it writes
// until the file is complete and the tool has ended, or the transfer has
// stalled. A tool started without waiting is kept, so its end is known.
class TitleTransfer
{
public:
    enum class Result
    {
        Complete,     // the tool has ended and the file holds the expected size
        StoppedShort, // the tool ended with the file short of its size
        Stalled,      // the file stopped growing while the tool ran; the tool was stopped
        Larger,       // the tool ended with the file larger than expected
        NoFile,       // size unknown, and the tool ended without leaving the file
        ToolFailed,   // size unknown, and the tool ended with a failure status or by a signal
    };

    struct Outcome
    {
        Result result = Result::Complete;
        ByteCount size;   // the file's size at the last poll
        int exitCode = 0; // for ToolFailed: the tool's status; -1 when a signal ended it
    };

    // Shows the progress of a poll: the file's size at that moment.
    using PollDisplay = std::function<void(ByteCount current)>;

    explicit TitleTransfer(StallLimits limits = {});
    ~TitleTransfer();
    TitleTransfer(const TitleTransfer &) = delete;
    TitleTransfer &operator=(const TitleTransfer &) = delete;

    // Runs the tool as planned. The waited form returns once the tool has
    // ended, acting on no user input meanwhile; a tool whose file stops growing
    // for the running limit is stopped then, and the transfer counts as stalled.
    ToolRunResult start(const TransferPlan &plan, const QString &fileName);

    // Polls the file at least every 50 ms, sleeping in the event loop in between.
    // An expected size of 0 means the size is not known: the transfer is then
    // taken as complete once the tool has ended with status 0, and no
    // progress is shown.
    Outcome watch(const QString &fileName, ByteCount expected, const PollDisplay &display);

    bool toolRunning() const;

private:
    void waitForTool(const QString &fileName);
    // Sleeps in the event loop until the next poll is due or the tool ends.
    void sleepBetweenPolls(QEventLoop::ProcessEventsFlags flags);
    void stopTool();

    StallLimits m_limits;
    QProcess m_process;
    bool m_stalledWhileWaited = false;
};

// A few words for the log and the status line.
QString outcomeReason(const TitleTransfer::Outcome &outcome);
