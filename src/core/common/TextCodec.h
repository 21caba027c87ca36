#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Text files are UTF-8 with CR LF line ends. Files written by other programs may
// hold bytes that are not valid UTF-8: a line that is not is read as
// Windows-1252, so that no character is dropped, while every valid line stays
// UTF-8. Line ends are kept as they are.
QString decodeText(const QByteArray &bytes);

// One line's bytes, decoded by the same rule: UTF-8 when they are valid UTF-8,
// else Windows-1252. A byte-order mark is dropped only at the start of a text.
QString decodeLine(QByteArrayView bytes, bool startOfText);
// Every byte one character, as Windows-1252 has it.
QString decodeWindows1252(QByteArrayView bytes);
QByteArray encodeText(const QString &text);

// The given lines, each followed by CR LF, encoded for a file.
QByteArray encodeLines(const QStringList &lines);

// Splits text into lines: CR LF, LF and a lone CR each end a line; a last line
// without an end counts; an empty text has no lines.
QStringList splitLines(const QString &text);
