#include "startup/FolderStart.h"

#include "archive/CopyInProgress.h"
#include "common/UserMessage.h"
#include "guide/WorkingFiles.h"
#include "log/LogRecords.h"
#include "log/LogWriter.h"
#include "runner/FileNames.h"

#include <thread>

void startInWorkingFolder(const QString &saveFolder)
{
    if (!saveFolder.isEmpty())
        std::thread([folder = saveFolder] { removeLeftoverCopies(folder); }).detach();

    // Every letter case: one left behind would be read as this run's guide.
    for (const QString &stale : {QStringLiteral("Guide.txt"), QStringLiteral("Guide.dat")}) {
        QString error;
        if (!removeWorkingFile(stale, &error))
            tellUser(error);
    }

    if (!FileExists(kLogFileName)) {
        QString error;
        if (!AppendToLog(LogRecords::creationHeader(), &error))
            tellUser(error);
    }
}
