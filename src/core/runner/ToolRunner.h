#pragma once

#include "runner/StallWatch.h"

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

// The file a waited tool writes, watched while it runs: a tool that neither
// ends nor adds to it for the running limit is taken as stuck. No file: the
// run is waited for without a limit.
struct ToolWatch
{
    QString fileName;
    StallLimits limits = {};
};

struct ToolRunResult
{
    bool started = false;
    QString error;          // why it could not be started, in plain words
    bool stalled = false;   // stopped: it neither ended nor added to its file for the limit
    bool abandoned = false; // stopped because the program is ending

    // The tool ran to its own end, so what it left can be used.
    bool ranToEnd() const { return started && !stalled && !abandoned; }
};

// Where a program is run from: the working directory, then PATH. Empty when
// it is in neither.
QString findProgram(const QString &program);

// Runs the tool and waits for it to end. While it waits the windows keep
// painting but no user input is acted on; a close request from the window
// frame still arrives. Output of the tool is discarded.
ToolRunResult runToolAndWait(const ToolCommand &command, const ToolWatch &watch = {});

// Ends at once the tools that waited runs are waiting on, because the program
// is ending: those runs return as abandoned. False when none is waiting.
bool abandonWaitedRuns();

// Starts the tool without waiting. The caller keeps the process to know when
// it ends. A tool started here never outlives the program, however it ends.
ToolRunResult startTool(QProcess &process, const ToolCommand &command);

// Runs a tool hidden and waits for it to end. A tool that cannot be started,
// and one stopped as stuck, is told to the user in one message.
ToolRunResult ShellAndWait(const ToolCommand &command, const ToolWatch &watch = {});
