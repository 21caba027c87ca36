#pragma once

#include <QByteArray>

class QIODevice;

// Reads Kelvado's own record line by line as bytes, in blocks, never holding
// more than one block and one line: CR LF, LF and a lone CR each end a line,
// and a last line without an end counts. A line longer than the cap keeps its
// first cap bytes; the rest of it is passed over, so a file of any size reads
// in bounded memory. It tells where the lines given end, so a later read can
// start from there.
class RecordLines
{
public:
    static constexpr qsizetype kDefaultCap = qsizetype(64) * 1024;
    static constexpr qint64 kDefaultBlock = qint64(1024) * 1024;

    explicit RecordLines(QIODevice &device, qsizetype cap = kDefaultCap, qint64 blockSize = kDefaultBlock);

    // The next line without its end, and the end as it was written (empty for
    // a last line without one). False when the device has no more lines.
    bool next(QByteArray &line, QByteArray &ending);

    // Where on the device the lines given so far end.
    qint64 position() const;

    // Whether the device failed to read; the lines up to the failure were given.
    bool failed() const { return m_failed; }

private:
    bool fill();
    // Where the next `c` lies in the block from the read position on; the block's size when nowhere.
    qsizetype nextIn(char c, qsizetype &found) const;

    QIODevice &m_device;
    qsizetype m_cap;
    qint64 m_blockSize;
    QByteArray m_block;
    qsizetype m_pos = 0;
    qsizetype m_nextLf = -1, m_nextCr = -1; // as nextIn() last found them in the block
    bool m_eof = false;
    bool m_failed = false;
};
