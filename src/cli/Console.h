#pragma once

#include <QString>

// Where the commands write: standard output takes only the lines a script
// reads; standard error takes messages, one line each, and, when it is a
// terminal, one progress line redrawn in place.
namespace Console {

// A field of an output line: backslash, tab, CR and LF written as \\, \t, \r
// and \n, as SavedRecordings.txt writes them, so no field breaks the line.
QString field(const QString &text);

// A message of several lines as one line: its lines joined by " | ", blank ones left out.
QString oneLine(const QString &text);

void out(const QString &line);
// Why a line meant for standard output was not written whole (closed, a full
// disk); empty while every one was.
QString outputLost();
void error(const QString &line);

// Redraws the progress line; nothing when standard error is not a terminal.
void progress(const QString &line);
// Takes the progress line away.
void endProgress();

} // namespace Console
