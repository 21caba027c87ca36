#include "Commands.h"

#include "Console.h"
#include "GuideListing.h"
#include "startup/CommandLine.h"

int runList(const StartRequest &request)
{
    const std::optional<CommandConnection> connection = commandConnection(request);
    if (!connection)
        return CommandLine::kUsageStatus;
    const std::optional<QList<ListedRecording>> recordings = listRecordings(connection->address);
    if (!recordings)
        return CommandLine::kFailedStatus;
    for (const ListedRecording &recording : *recordings)
        Console::out(listLine(recording));
    return 0;
}
