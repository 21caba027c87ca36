#include "CommandRun.h"
#include "Console.h"
#include "about/AppIdentity.h"
#include "mainwindow/Form1.h"
#include "mainwindow/MessageBox.h"
#include "runner/EndOnSignal.h"
#include "startup/CommandLine.h"
#include "startup/FolderLock.h"
#include "startup/WorkingFolder.h"

#include <QApplication>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard stream the caller closed (`kelvado list >&-`) is opened on
// /dev/null for reading only. Left closed, the next file or descriptor Qt
// opens would take its number and get the lines meant for it; this way
// writing them fails and is told as a lost output.
void reopenClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY); // takes the lowest free number: this one
    }
}

// The command line is settled before the window exists and before any file is
// written: --help, --version and a refused folder need no display and leave nothing.
StartRequest readStartRequest(int argc, char *argv[])
{
    // Taken before Qt sees them: QCoreApplication removes options of its own
    // (-qmljsdebugger and the word after it) and decodes names that are not UTF-8 lossily.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    QCoreApplication console(argc, argv);
    return CommandLine::read(arguments, QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
}

void printLine(std::FILE *stream, const QString &text)
{
    if (!text.isEmpty())
        std::fputs(qPrintable(text.endsWith(u'\n') ? text : text + u'\n'), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    reopenClosedStandardStreams();
    QCoreApplication::setApplicationName(AppIdentity::kTitle);
    QCoreApplication::setApplicationVersion(AppIdentity::versionNumber());

    const StartRequest request = readStartRequest(argc, argv);
    if (!request.opensWindow) {
        printLine(stdout, request.output);
        if (!request.error.isEmpty())
            Console::error(request.error);
        return request.exitStatus;
    }
    if (!request.folder.isEmpty()) {
        const QString error = enterWorkingFolder(request.folder, request.createFolder);
        if (!error.isEmpty()) {
            Console::error(error);
            return CommandLine::kUsageStatus;
        }
    }

    // Neither half takes Qt options from the command line: every argument was read above.
    int qtArgc = 1;
    if (!request.command.isEmpty()) {
        // No display is needed: no GUI is started and no platform plugin loaded.
        QCoreApplication console(qtArgc, argv);
        return runCommand(request);
    }

    QApplication app(qtArgc, argv);
    // Taken before anything in the folder is touched, held until the program ends.
    const FolderLock lock;
    if (lock.state() == FolderLock::State::Busy) {
        printLine(stderr, lock.message()); // for a start from a shell as well
        showMessageBox(lock.message());
        return CommandLine::kBusyStatus;
    }
    if (lock.state() != FolderLock::State::Held)
        Console::error(QStringLiteral("kelvado: ") + lock.message());
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvado.Kelvado"));
    const EndOnSignal endOnSignal;

    Form1 window;
    installMessageBoxSink(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
