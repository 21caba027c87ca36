#include "ToolRunner.h"

#include "common/UserMessage.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

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

} // namespace

ToolCommand parseToolCommand(const QString &commandLine)
{
    ToolCommand command;
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return command;
    command.program = parts.takeFirst();
    command.arguments = parts;
    command.path = findProgram(command.program);
    return command;
}

ToolRunResult startTool(QProcess &process, const QString &commandLine)
{
    ToolRunResult result;
    const ToolCommand command = parseToolCommand(commandLine);
    if (command.program.isEmpty()) {
        result.error = QStringLiteral("Nothing to run: the command line is empty.");
        return result;
    }
    if (command.path.isEmpty()) {
        result.error = QStringLiteral("Cannot run \"%1\": the program was not found in the working "
                                      "directory or on the search path.")
                           .arg(command.program);
        return result;
    }
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setWorkingDirectory(QDir::currentPath());
    process.start(command.path, command.arguments);
    if (!process.waitForStarted(-1)) {
        result.error = QStringLiteral("Cannot run \"%1\": %2").arg(command.program, process.errorString());
        return result;
    }
    result.started = true;
    return result;
}

ToolRunResult runToolAndWait(const QString &commandLine)
{
    QProcess process;
    ToolRunResult result = startTool(process, commandLine);
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

bool ShellAndWait(const QString &commandLine)
{
    const ToolRunResult result = runToolAndWait(commandLine);
    if (!result.started)
        tellUser(result.error);
    return result.started;
}
