#pragma once

#include "guide/GuideParser.h"

#include <QList>
#include <QString>

#include <optional>

struct StartRequest;

// The connection a command uses: RPTVIP.dat's, or what the command line gives
// for this run instead (the file is never changed).
struct CommandConnection
{
    QString address;
    QString delay; // an empty one is "Default", as the window stores it
};

// Empty, after telling why on standard error, when no address is known.
std::optional<CommandConnection> commandConnection(const StartRequest &request);

// One recording of the guide and whether it was saved before.
struct ListedRecording
{
    GuideEntry entry;
    bool saved = false;
};

// Get Guide as the window's button does it, with each recording marked saved
// or new from SavedRecordings.txt as the window's marks are. Empty, after
// telling why on standard error, when the guide could not be got.
std::optional<QList<ListedRecording>> listRecordings(const QString &address);

// The line `list` prints for it: file name, title, date, duration, saved or new.
QString listLine(const ListedRecording &recording);

// The title as the guide gives it, without the blanks the list pads it with.
QString plainTitle(const GuideEntry &entry);
