#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <functional>
#include <utility>

class QIODevice;

// Reads a device line by line in blocks and decodes every line on its own, as
// decodeText does: UTF-8 when the whole line is valid UTF-8, else
// Windows-1252. CR LF, LF and a lone CR each end a line, and a last line
// without an end counts. A line longer than a piece comes in pieces, each
// decoded as the whole line is, so a line of any length is read to its end in
// bounded memory and nothing of it is lost.
class LineStream
{
public:
    static constexpr qsizetype kDefaultPiece = qsizetype(64) * 1024;
    static constexpr qint64 kDefaultBlock = qint64(1024) * 1024;

    explicit LineStream(QIODevice &device, qsizetype piece = kDefaultPiece, qint64 blockSize = kDefaultBlock);

    // Appends the next text to the string: a line with its end as written, or
    // the next piece of a longer line (its last piece with its end). False
    // when the device has no more.
    bool next(QString &text);

    // Whether the device failed to read; the text up to the failure was given.
    bool failed() const { return m_failed; }

    // Called after every block read, also while a long line is read ahead, so
    // the caller can keep its window painting however long a line is.
    void setBlockRead(std::function<void()> blockRead) { m_blockRead = std::move(blockRead); }

private:
    // Appends the next block to what is held; false at the end of the device.
    bool more();
    // Where the line that begins at the read position ends (at its CR or LF),
    // reading blocks until a piece is held; -1 when no end is held.
    qsizetype lineEnd();
    // The read position's line, to its end: whether all of it is valid UTF-8.
    // The device is read ahead and put back where it was.
    bool lineIsUtf8();
    // Hands out the bytes from the read position up to `end` (and the line end
    // standing there, when `withEnd`), decoded.
    void take(QString &text, qsizetype end, bool withEnd);

    QIODevice &m_device;
    qsizetype m_piece;
    qint64 m_blockSize;
    QByteArray m_block;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_startOfText = true;
    bool m_inLongLine = false; // pieces of it have been given
    bool m_longLineUtf8 = true;
    QStringDecoder m_utf8; // the long line's, across its pieces
    std::function<void()> m_blockRead;
};
