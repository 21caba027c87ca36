#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The lines of a log file's bytes, each without its line end. CR LF, LF and a
// lone CR each end a line; a last line without an end counts; no bytes give no
// lines. Each line is decoded on its own, so one line in another code page does
// not change how the others read.
QStringList logLines(const QByteArray &bytes);

struct LogReadResult
{
    bool readable = false;
    QStringList lines;
};

// Reads the whole program log from the working directory (the name matched
// without regard to letter case).
LogReadResult readLogLines(const QString &fileName);
