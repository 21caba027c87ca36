#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// How an outside tool's command line is taken apart: Windows-style quoting,
// never a shell, so characters such as ; | $ reach the tool literally.
struct ToolCommand
{
    QString program;   // as written in the command line
    QString path;      // where it was found; empty when not found
    QStringList arguments;
};

// Splits the command line and looks the program up in the working directory,
// then on PATH.
ToolCommand parseToolCommand(const QString &commandLine);

struct ToolRunResult
{
    bool started = false;
    QString error; // why it could not be started, in plain words
};

// Runs the tool and waits for it to end. While it waits the windows keep
// painting but no user input is acted on. Output of the tool is discarded.
ToolRunResult runToolAndWait(const QString &commandLine);

// Starts the tool without waiting. The caller keeps the process to know when it ends.
ToolRunResult startTool(QProcess &process, const QString &commandLine);

// Runs a command line hidden and waits for it to end. A tool that cannot be
// started is told to the user in one message and the result is false.
bool ShellAndWait(const QString &commandLine);
