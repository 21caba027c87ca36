#pragma once

#include "guide/GuideParser.h"

#include <QList>
#include <QString>

struct StartRequest;

// The connection a command uses: RPTVIP.dat's, or what the command line gives
// for this run instead (the file is never changed).
struct CommandConnection
{
    QString address;
    QString delay; // an empty one is "Default", as the window stores it
};

// One recording of the guide and whether it was saved before.
struct ListedRecording
{
    GuideEntry entry;
    bool saved = false;
};

// What a command starts from.
struct CommandGuide
{
    int status = 0; // else the command ends with it, having told why on standard error
    CommandConnection connection;
    QList<ListedRecording> recordings;
};

// Get Guide as the window's button does it, with each recording marked saved
// or new from SavedRecordings.txt as the window's marks are. Without an
// address nothing in the folder is touched.
CommandGuide commandGuide(const StartRequest &request);

// The line `list` prints for it: file name, title, date, duration, saved or new.
QString listLine(const ListedRecording &recording);

// The title as the guide gives it, without the blanks the list pads it with.
QString plainTitle(const GuideEntry &entry);
