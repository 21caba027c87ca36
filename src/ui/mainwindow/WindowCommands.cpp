// The main window's small commands: Exit, View Log, About, and
// closing the window through its frame.
#include "mainwindow/Form1.h"

#include "about/frmAbout.h"
#include "common/UserMessage.h"
#include "guide/WorkingFiles.h"
#include "log/Form2.h"
#include "log/LogRecords.h"
#include "log/LogWriter.h"
#include "runner/ToolRunner.h"

#include <QCloseEvent>
#include <QLineEdit>

#include <cstdio>
#include <unistd.h>
#include <utility>

namespace {

QString downloadRunning()
{
    return QStringLiteral("Cannot quit - download in progress.");
}

// Exit ends the process at once: no window's close reaction runs and nothing
// more is written. Every file was closed by the step that wrote it.
void endProcessNow()
{
    std::fflush(nullptr);
    ::_exit(0);
}

std::function<void()> &programExit()
{
    static std::function<void()> exitProgram = endProcessNow;
    return exitProgram;
}

template <typename Window>
void bringForward(Window *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void Form1::setProgramExit(std::function<void()> exitProgram)
{
    programExit() = exitProgram ? std::move(exitProgram) : std::function<void()>(endProcessNow);
}

void Form1::Quit_Click()
{
    if (DownloadInProgress) {
        tellUser(downloadRunning());
        return;
    }

    // The program still ends when a step fails; the user hears of every failure
    // in one message before it does.
    QStringList problems;
    if (!IPAddress->text().isEmpty()) {
        for (const QString &guideFile : {QStringLiteral("Guide.txt"), QStringLiteral("Guide.dat")}) {
            QString error;
            if (!removeWorkingFile(guideFile, &error))
                problems << error;
        }
        QString error;
        if (!AppendToLog(LogRecords::termination(), &error))
            problems << error;
    }

    // SaveIP speaks for itself, and only once per run; here its failure joins
    // the one message, whatever was told before.
    m_settingsFailureTold = false;
    QStringList saveMessages;
    const UserMessageSink previousSink =
        setUserMessageSink([&saveMessages](const QString &text) { saveMessages << text; });
    SaveIP();
    setUserMessageSink(previousSink);
    if (m_settingsFailureTold)
        problems << (saveMessages.isEmpty() ? QStringLiteral("The settings could not be saved.")
                                            : saveMessages.first().section(u'\n', 0, 0));

    if (!problems.isEmpty())
        tellUser(QStringLiteral("Kelvado is ending, but not everything could be done:\n\n") + problems.join(u'\n'));

    programExit()();
}

void Form1::LogView_Click()
{
    if (DownloadInProgress)
        return;
    // A viewer closed through its frame is on its way out: the next one reads the log anew.
    if (m_logViewer && m_logViewer->closedByFrame())
        m_logViewer = nullptr;
    if (!m_logViewer)
        m_logViewer = new Form2();
    bringForward(m_logViewer.data());
}

void Form1::mnuAbout_Click()
{
    if (m_about && m_about->isClosed())
        m_about = nullptr;
    if (!m_about)
        m_about = new frmAbout();
    bringForward(m_about.data());
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the window would cut the running download off mid-file.
    if (DownloadInProgress) {
        tellUser(downloadRunning());
        event->ignore();
        return;
    }
    // Get Guide and measuring wait on a tool without acting on input, but a
    // close from the frame still arrives: it ends that tool instead of waiting.
    abandonWaitedRuns();
    if (m_logViewer)
        m_logViewer->close();
    if (m_about)
        m_about->close();
    QMainWindow::closeEvent(event);
}
