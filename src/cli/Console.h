#pragma once

#include <QString>

// Where the commands write: standard output takes only the lines a script
// reads; standard error takes messages, one line each, and, when it is a
// terminal, one progress line redrawn in place.
namespace Console {

// A field of an output line: backslash, tab, CR and LF written as \\, \t, \r
// and \n, as SavedRecordings.txt writes them, so no field breaks the line;
// any other control character as \xHH, so none reaches a terminal.
QString field(const QString &text);

// A message of several lines as one line: its lines joined by " | ", blank ones left out.
QString oneLine(const QString &text);

void out(const QString &line);
// Standard output could not take a line (a full disk, a reader gone); later lines are not tried.
bool outputLost();
// Control characters in the line are shown as \xHH, on the progress line too.
void error(const QString &line);

// Redraws the progress line, what is moving (shortened to fit the terminal's
// width) and how far it is; nothing when standard error is not a terminal.
void progress(const QString &subject, const QString &state);
// Takes the progress line away.
void endProgress();

} // namespace Console
