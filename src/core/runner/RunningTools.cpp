#include "runner/RunningTools.h"

#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QProcess>

namespace {

// Long enough for a tool to close its file, short enough that ending the
// program does not seem to hang.
constexpr int kGraceMs = 3000;

QList<QPointer<QProcess>> &tracked()
{
    static QList<QPointer<QProcess>> processes;
    return processes;
}

bool running(const QProcess *process)
{
    return process && process->state() != QProcess::NotRunning;
}

void killRest(const QList<QPointer<QProcess>> &processes, QDeadlineTimer grace)
{
    for (const QPointer<QProcess> &process : processes) {
        if (running(process) && !process->waitForFinished(int(grace.remainingTime())))
            process->kill();
    }
    for (const QPointer<QProcess> &process : processes) {
        if (running(process))
            process->waitForFinished(kGraceMs);
    }
}

} // namespace

void trackTool(QProcess &process)
{
    tracked().removeAll(nullptr); // those destroyed since
    if (!tracked().contains(&process))
        tracked().append(&process);
}

void endTool(QProcess &process)
{
    if (!running(&process))
        return;
    process.terminate();
    killRest({&process}, QDeadlineTimer(kGraceMs));
}

void endEveryTool()
{
    const QList<QPointer<QProcess>> processes = tracked();
    for (const QPointer<QProcess> &process : processes) {
        if (running(process))
            process->terminate();
    }
    killRest(processes, QDeadlineTimer(kGraceMs));
}
