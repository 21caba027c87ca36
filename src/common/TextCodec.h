#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files are UTF-8 with CR LF line ends. Files written by other programs may
// hold bytes that are not valid UTF-8; those are read as Windows-1252 so that no
// character is dropped.
QString decodeText(const QByteArray &bytes);
QByteArray encodeText(const QString &text);

// The given lines, each followed by CR LF, encoded for a file.
QByteArray encodeLines(const QStringList &lines);

// Splits text into lines: CR LF, LF and a lone CR each end a line; a last line
// without an end counts; an empty text has no lines.
QStringList splitLines(const QString &text);
