#include "CommandRun.h"

#include "Commands.h"
#include "Console.h"
#include "common/UserMessage.h"
#include "runner/EndOnSignal.h"
#include "startup/CommandLine.h"
#include "startup/FolderLock.h"

#include <csignal>

namespace {

struct Command
{
    const char *name;
    int (*run)(const StartRequest &request);
    bool endsOnSignalItself; // stops its own work on SIGTERM, SIGINT and SIGHUP
};

constexpr Command kCommands[] = {
    {"list", runList, false},
    {"archive", runArchive, false},
    {"verify", runVerify, true},
};

// A reader of standard output that goes away (`kelvado archive | head -1`)
// must not end the program in the middle of a transfer: the write fails
// instead. A handler, not SIG_IGN, so the tools start with the default.
extern "C" void onBrokenPipe(int) {}

} // namespace

int runCommand(const StartRequest &request)
{
    // Before anything in the folder is touched.
    const FolderLock lock;
    if (lock.state() == FolderLock::State::Busy) {
        Console::error(lock.message());
        return CommandLine::kBusyStatus;
    }
    // A folder that cannot be locked is still worked in: a nightly run on a
    // share without locks would otherwise never run.
    if (lock.state() != FolderLock::State::Held)
        Console::error(QStringLiteral("kelvado: ") + lock.message());

    struct sigaction brokenPipe = {};
    brokenPipe.sa_handler = onBrokenPipe;
    sigemptyset(&brokenPipe.sa_mask);
    ::sigaction(SIGPIPE, &brokenPipe, nullptr);
    setUserMessageSink([](const QString &text) { Console::error(Console::oneLine(text)); });
    for (const Command &command : kCommands) {
        if (request.command != QLatin1String(command.name))
            continue;
        int status = 0;
        if (command.endsOnSignalItself) {
            status = command.run(request);
        } else {
            const EndOnSignal endOnSignal;
            status = command.run(request);
        }
        return status == 0 && Console::outputLost() ? CommandLine::kFailedStatus : status;
    }
    Console::error(QStringLiteral("kelvado: Unknown command '%1'.").arg(request.command));
    return CommandLine::kUsageStatus;
}
