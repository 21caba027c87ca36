#include "download/TitleTransfer.h"

#include "runner/FileNames.h"
#include "runner/Pause.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kPollMs = 50;
constexpr qint64 kTerminateGraceMs = 3000;
} // namespace

TitleTransfer::TitleTransfer(StallLimits limits)
    : m_limits(limits)
{
}

TitleTransfer::~TitleTransfer()
{
    if (toolRunning()) {
        m_process.kill();
        m_process.waitForFinished(kTerminateGraceMs);
    }
}

ToolRunResult TitleTransfer::start(const TransferPlan &plan, const QString &fileName)
{
    m_stalledWhileWaited = false;
    ToolRunResult result = startTool(m_process, plan.command);
    if (result.started && plan.waited)
        waitForTool(fileName);
    return result;
}

void TitleTransfer::waitForTool(const QString &fileName)
{
    StallWatch stall(m_limits);
    QElapsedTimer clock;
    clock.start();
    while (toolRunning()) {
        if (stall.observe(clock.elapsed(), BigFileLen(fileName), true) == StallVerdict::Stalled) {
            stopTool();
            m_stalledWhileWaited = true;
            return;
        }
        // The window keeps painting; clicks and keys wait until the tool has ended.
        sleepBetweenPolls(QEventLoop::ExcludeUserInputEvents);
    }
}

void TitleTransfer::sleepBetweenPolls(QEventLoop::ProcessEventsFlags flags)
{
    if (!toolRunning()) {
        waitInEventLoop(kPollMs, flags);
        return;
    }
    // Wakes at once when the tool ends, so a finished title goes on without delay.
    QEventLoop loop;
    QTimer::singleShot(kPollMs, &loop, &QEventLoop::quit);
    QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec(flags);
}

bool TitleTransfer::toolRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

TitleTransfer::Outcome TitleTransfer::watch(const QString &fileName, ByteCount expected, const PollDisplay &display)
{
    Outcome outcome;
    if (m_stalledWhileWaited) {
        outcome.result = Result::Stalled;
        outcome.size = BigFileLen(fileName);
        return outcome;
    }
    StallWatch stall(m_limits);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // The tool's state first: a tool seen as ended has written all it will,
        // so the size read after it is final.
        const bool running = toolRunning();
        outcome.size = BigFileLen(fileName);
        if (expected > ByteCount{} && display)
            display(outcome.size);
        if (!running && !(outcome.size < expected))
            break;
        const StallVerdict verdict = stall.observe(clock.elapsed(), outcome.size, running);
        if (verdict == StallVerdict::Stalled) {
            stopTool();
            outcome.result = Result::Stalled;
            return outcome;
        }
        if (verdict == StallVerdict::StoppedShort) {
            outcome.result = Result::StoppedShort;
            return outcome;
        }
        sleepBetweenPolls(QEventLoop::AllEvents);
    }
    if (expected == ByteCount{}) {
        // Nothing tells a whole file from a part here but the tool's own word.
        if (m_process.exitStatus() == QProcess::CrashExit || m_process.exitCode() != 0) {
            outcome.result = Result::ToolFailed;
            outcome.exitCode = m_process.exitStatus() == QProcess::CrashExit ? -1 : m_process.exitCode();
        } else {
            outcome.result = FileExists(fileName) ? Result::Complete : Result::NoFile;
        }
    } else {
        outcome.result = expected < outcome.size ? Result::Larger : Result::Complete;
    }
    return outcome;
}

void TitleTransfer::stopTool()
{
    m_process.terminate();
    QElapsedTimer grace;
    grace.start();
    while (toolRunning() && grace.elapsed() < kTerminateGraceMs)
        sleepBetweenPolls(QEventLoop::ExcludeUserInputEvents);
    if (toolRunning()) {
        m_process.kill();
        m_process.waitForFinished(kTerminateGraceMs);
    }
}

QString outcomeReason(const TitleTransfer::Outcome &outcome)
{
    switch (outcome.result) {
    case TitleTransfer::Result::Complete:
        return QStringLiteral("complete");
    case TitleTransfer::Result::StoppedShort:
        return QStringLiteral("stopped short");
    case TitleTransfer::Result::Stalled:
        return QStringLiteral("stalled");
    case TitleTransfer::Result::Larger:
        return QStringLiteral("larger than expected");
    case TitleTransfer::Result::NoFile:
        return QStringLiteral("no file received");
    case TitleTransfer::Result::ToolFailed:
        return outcome.exitCode < 0 ? QStringLiteral("transfer tool was ended by a signal")
                                    : QStringLiteral("transfer tool ended with status %1").arg(outcome.exitCode);
    }
    return {};
}
