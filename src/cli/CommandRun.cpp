#include "CommandRun.h"

#include "Commands.h"
#include "Console.h"
#include "common/UserMessage.h"
#include "runner/EndOnSignal.h"
#include "startup/CommandLine.h"
#include "startup/FolderLock.h"

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
        // A script reading nothing must not take the lines it lost as all well.
        if (status == 0 && !Console::outputLost().isEmpty()) {
            Console::error(QStringLiteral("kelvado: The output could not be written: %1.").arg(Console::outputLost()));
            return CommandLine::kUsageStatus;
        }
        return status;
    }
    Console::error(QStringLiteral("kelvado: Unknown command '%1'.").arg(request.command));
    return CommandLine::kUsageStatus;
}
