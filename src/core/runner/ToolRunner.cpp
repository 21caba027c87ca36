#include "runner/ToolRunner.h"

#include "runner/FileNames.h"
#include "runner/RunningTools.h"
#include "runner/UserInputBlock.h"
#include "common/UserMessage.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 50;

// Runs in the child between fork and exec: the tool is killed when the
// program ends, even by SIGKILL, so no transfer goes on writing behind it.
void endWithParent(pid_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) // the program ended before the line above
        ::_exit(127);
}

// A waited run in progress, so that a close of the window can end its tool.
struct WaitedRun
{
    QProcess &process;
    QEventLoop &loop;
    bool abandoned = false;
};

QList<WaitedRun *> &waitedRuns()
{
    static QList<WaitedRun *> runs;
    return runs;
}

QString durationText(qint64 ms)
{
    constexpr qint64 kMinuteMs = qint64(60) * 1000;
    if (ms >= kMinuteMs && ms % kMinuteMs == 0) {
        const qint64 minutes = ms / kMinuteMs;
        return minutes == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(minutes);
    }
    const qint64 seconds = (ms + 999) / 1000;
    return seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds);
}

QString stalledToolMessage(const ToolCommand &command, const ToolWatch &watch)
{
    return QStringLiteral("%1 was stopped: for %2 it neither finished nor added to %3. What it left there is not "
                          "used.")
        .arg(command.text(), durationText(watch.limits.runningMs), watch.fileName);
}

} // namespace

QString ToolCommand::text() const
{
    return (QStringList{program} + arguments).join(u' ');
}

QString findProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/')) {
        QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    // Named relative to the working folder, whose path as text need not be its bytes.
    QFileInfo local(QStringLiteral("./") + program);
    if (local.isFile() && local.isExecutable())
        return local.filePath();
    return QStandardPaths::findExecutable(program);
}

ToolRunResult startTool(QProcess &process, const ToolCommand &command)
{
    ToolRunResult result;
    if (command.program.isEmpty()) {
        result.error = QStringLiteral("Nothing to run: the command line is empty.");
        return result;
    }
    const QString path = findProgram(command.program);
    if (path.isEmpty()) {
        result.error = QStringLiteral("Cannot run \"%1\": the program was not found in the working "
                                      "directory or on the search path.")
                           .arg(command.program);
        return result;
    }
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // No working directory set: the tool starts in ours, whatever bytes its name holds.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] { endWithParent(parent); });
    process.start(path, command.arguments);
    if (!process.waitForStarted(-1)) {
        result.error = QStringLiteral("Cannot run \"%1\": %2").arg(command.program, process.errorString());
        return result;
    }
    trackTool(process);
    result.started = true;
    return result;
}

ToolRunResult runToolAndWait(const ToolCommand &command, const ToolWatch &watch)
{
    QProcess process;
    ToolRunResult result = startTool(process, command);
    if (!result.started || process.state() == QProcess::NotRunning)
        return result;

    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop, &process] {
        if (process.state() == QProcess::NotRunning)
            loop.quit();
    });
    StallWatch stall(watch.limits);
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (process.state() != QProcess::NotRunning
            && stall.observe(clock.elapsed(), BigFileLen(watch.fileName), true) == StallVerdict::Stalled) {
            result.stalled = true;
            loop.quit();
        }
    });
    if (!watch.fileName.isEmpty())
        poll.start(kPollMs);

    WaitedRun run{process, loop};
    waitedRuns().append(&run);
    if (process.state() != QProcess::NotRunning) {
        // Painting goes on; clicks and keys are not acted on.
        UserInputBlock block;
        loop.exec();
    }
    waitedRuns().removeOne(&run);
    poll.stop();

    if (process.state() != QProcess::NotRunning) {
        // Stuck, or the loop was ended because the program is ending.
        result.abandoned = !result.stalled;
        endTool(process);
    }
    result.abandoned = result.abandoned || run.abandoned;
    return result;
}

bool abandonWaitedRuns()
{
    const QList<WaitedRun *> runs = waitedRuns();
    for (WaitedRun *run : runs) {
        run->abandoned = true;
        endTool(run->process);
        run->loop.quit();
    }
    return !runs.isEmpty();
}

ToolRunResult ShellAndWait(const ToolCommand &command, const ToolWatch &watch)
{
    ToolRunResult result = runToolAndWait(command, watch);
    if (!result.started)
        tellUser(result.error);
    else if (result.stalled)
        tellUser(stalledToolMessage(command, watch));
    return result;
}
