#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// One run of an outside tool: the program and its arguments, each argument
// exactly as it is to arrive. Nothing is ever split again or handed to a shell,
// so blanks, quotes and characters such as ; | $ reach the tool literally.
struct ToolCommand
{
    QString program;
    QStringList arguments;

    // The command line as the log and the messages show it: program and
    // arguments joined by single blanks.
    QString text() const;
};

struct ToolRunResult
{
    bool started = false;
    QString error; // why it could not be started, in plain words
};

// Where a program is run from: the working directory, then PATH. Empty when
// it is in neither.
QString findProgram(const QString &program);

// Runs the tool and waits for it to end. While it waits the windows keep
// painting but no user input is acted on. Output of the tool is discarded.
ToolRunResult runToolAndWait(const ToolCommand &command);

// Starts the tool without waiting. The caller keeps the process to know when
// it ends. A tool started here never outlives the program, however it ends.
ToolRunResult startTool(QProcess &process, const ToolCommand &command);

// Runs a tool hidden and waits for it to end. A tool that cannot be started
// is told to the user in one message and the result is false.
bool ShellAndWait(const ToolCommand &command);
