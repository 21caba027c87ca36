#include "Commands.h"

#include "Console.h"
#include "GuideListing.h"

int runList(const StartRequest &request)
{
    const CommandGuide guide = commandGuide(request);
    for (const ListedRecording &recording : guide.recordings)
        Console::out(listLine(recording));
    return guide.status;
}
