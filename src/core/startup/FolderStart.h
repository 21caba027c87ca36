#pragma once

#include <QString>

// What every start in a working folder does before it gets a guide, the
// window's and the commands' alike: guide files left by an earlier run go
// (one would be read as this run's guide), copies a killed run left in the
// save folder go (off the calling thread, for a folder slow to answer), and a
// missing log is begun. What cannot be done is told to the user.
void startInWorkingFolder(const QString &saveFolder);
