#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <vector>

// Where the lines of a text start, found by scanning its bytes piece by piece,
// in order. CR LF, LF and a lone CR each end a line (a CR LF split between two
// pieces too); a last line without an end counts; no bytes give no lines.
//
// Kept sparse so that a file of millions of lines costs little memory: a mark
// for the first line and then for the next line that starts at least
// `rowsPerMark` lines or `bytesPerMark` bytes after the previous mark. Every
// line between two marks therefore starts less than `bytesPerMark` bytes after
// the first of them, and only the last line of a stretch can run longer.
class LineIndex
{
public:
    struct Mark
    {
        qint64 line = 0;   // the line that starts here
        qint64 offset = 0; // its first byte
    };

    explicit LineIndex(int rowsPerMark = 64, qint64 bytesPerMark = qint64(64) * 1024);

    // The next piece of the text; offsets count from the start of the first piece.
    void scan(QByteArrayView piece);
    // There are no more bytes: a last line without an end is complete.
    void finish();

    // Lines whose end has been seen (after finish, every line).
    qint64 completeLines() const { return m_lines - (m_lineOpen ? 1 : 0); }
    qint64 scanned() const { return m_scanned; }

    int markCount() const { return int(m_marks.size()); }
    const Mark &mark(int i) const { return m_marks[std::size_t(i)]; }
    // The last mark at or before the line; the line must have started.
    int markBefore(qint64 line) const;

private:
    void lineStartsAt(qint64 offset);

    int m_rowsPerMark;
    qint64 m_bytesPerMark;
    std::vector<Mark> m_marks;
    qint64 m_lines = 0;
    qint64 m_scanned = 0;
    bool m_lineOpen = false; // a line has started and its end is not seen yet
    bool m_afterCr = false;  // the last byte was a CR: an LF next belongs to it
};
