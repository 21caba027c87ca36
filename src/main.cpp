#include "VerifyCommand.h"
#include "about/AppIdentity.h"
#include "mainwindow/Form1.h"
#include "mainwindow/MessageBox.h"
#include "runner/EndOnSignal.h"
#include "startup/CommandLine.h"
#include "startup/WorkingFolder.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

namespace {

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
    QCoreApplication::setApplicationName(AppIdentity::kTitle);
    QCoreApplication::setApplicationVersion(AppIdentity::versionNumber());

    if (argc > 1 && qstrcmp(argv[1], "verify") == 0) {
        const QList<QByteArray> arguments(argv + 2, argv + argc);
        const QCoreApplication console(argc, argv);
        return runVerifyCommand(arguments);
    }
    const StartRequest request = readStartRequest(argc, argv);
    if (!request.opensWindow) {
        printLine(stdout, request.output);
        printLine(stderr, request.error);
        return request.exitStatus;
    }
    if (!request.folder.isEmpty()) {
        const QString error = enterWorkingFolder(request.folder, request.createFolder);
        if (!error.isEmpty()) {
            printLine(stderr, error);
            return CommandLine::kUsageStatus;
        }
    }

    // The window takes no Qt options from the command line: every argument was read above.
    int windowArgc = 1;
    QApplication app(windowArgc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvado.Kelvado"));
    const EndOnSignal endOnSignal;

    Form1 window;
    installMessageBoxSink(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
