#pragma once

#include <QByteArray>
#include <QList>

// `kelvado verify [--add-missing-sums] [--videos-folder | FOLDER]`: reads every
// recording the folder's record names again and prints one line per recording
// (verdict, recorder's file name, saved path; tab-separated, escaped as the
// record escapes them) and the tally. Status 0 when nothing is changed or
// missing, 1 otherwise, 2 for a bad command line or a folder that cannot be used.
// `arguments` are those after "verify"; a QCoreApplication must exist.
int runVerifyCommand(const QList<QByteArray> &arguments);
