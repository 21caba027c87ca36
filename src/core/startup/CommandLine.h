#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What one start of the program is asked to do, read from its command line
// before any window or file exists.
struct StartRequest
{
    // False: print `output` and `error` and end with `exitStatus`. True: open
    // the window, or run `command` when one is given.
    bool opensWindow = false;
    // The folder to work in, byte for byte as given (a name need not be UTF-8);
    // empty for the folder the program was started in.
    QByteArray folder;
    // The folder is the program's own one under the videos folder, made on first use.
    bool createFolder = false;
    // A command run without a window ("list", "archive"); empty for the window.
    QString command;
    QStringList titles;             // archive: only titles holding one of these, ignoring case
    bool dryRun = false;            // archive: tell what would be downloaded, download nothing
    std::optional<QString> address; // archive: instead of the stored address, for this run
    std::optional<QString> delay;   // archive: instead of the stored delay, for this run
    bool addMissingSums = false;    // verify: record sums for those saved without one
    QString output; // for standard output
    QString error;  // one line for standard error
    int exitStatus = 0;
};

namespace CommandLine {

// The status of a start that is refused: a bad option or a folder that cannot be used.
constexpr int kUsageStatus = 2;
// Another Kelvado works in the folder.
constexpr int kBusyStatus = 3;
// A command that ran but did not do all it was asked to.
constexpr int kFailedStatus = 1;

// `arguments` are main()'s argv as it came, before Qt has taken any out (the
// program first); `videosFolder` is the user's videos folder, where the desktop
// menu's start works.
StartRequest read(const QList<QByteArray> &arguments, const QString &videosFolder);

} // namespace CommandLine
