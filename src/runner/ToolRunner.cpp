#include "ToolRunner.h"

#include "common/UserMessage.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Runs in the child between fork and exec: the tool is killed when the
// program ends, even by SIGKILL, so no transfer goes on writing behind it.
void endWithParent(pid_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) // the program ended before the line above
        ::_exit(127);
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
    QFileInfo local(QDir::current().filePath(program));
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
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
    process.setWorkingDirectory(QDir::currentPath());
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] { endWithParent(parent); });
    process.start(path, command.arguments);
    if (!process.waitForStarted(-1)) {
        result.error = QStringLiteral("Cannot run \"%1\": %2").arg(command.program, process.errorString());
        return result;
    }
    result.started = true;
    return result;
}

ToolRunResult runToolAndWait(const ToolCommand &command)
{
    QProcess process;
    ToolRunResult result = startTool(process, command);
    if (!result.started)
        return result;
    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop, &process] {
            if (process.state() == QProcess::NotRunning)
                loop.quit();
        });
        // Painting goes on; clicks and keys wait until the tool has ended.
        if (process.state() != QProcess::NotRunning)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return result;
}

bool ShellAndWait(const ToolCommand &command)
{
    const ToolRunResult result = runToolAndWait(command);
    if (!result.started)
        tellUser(result.error);
    return result.started;
}
