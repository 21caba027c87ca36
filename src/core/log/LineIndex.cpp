#include "log/LineIndex.h"

#include <algorithm>

LineIndex::LineIndex(int rowsPerMark, qint64 bytesPerMark)
    : m_rowsPerMark(std::max(1, rowsPerMark))
    , m_bytesPerMark(std::max<qint64>(1, bytesPerMark))
{
}

void LineIndex::scan(QByteArrayView piece)
{
    const char *const begin = piece.data();
    const char *const end = begin + piece.size();
    const char *p = begin;
    while (p < end) {
        if (m_afterCr) {
            m_afterCr = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        if (!m_lineOpen)
            lineStartsAt(m_scanned + (p - begin));
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        if (p == end)
            break;
        m_lineOpen = false;
        m_afterCr = *p == '\r';
        ++p;
    }
    m_scanned += piece.size();
}

void LineIndex::finish()
{
    m_lineOpen = false;
    m_afterCr = false;
}

int LineIndex::markBefore(qint64 line) const
{
    const auto after = std::upper_bound(m_marks.begin(), m_marks.end(), line,
                                        [](qint64 wanted, Mark mark) { return wanted < mark.line; });
    return int(after - m_marks.begin()) - 1;
}

void LineIndex::lineStartsAt(qint64 offset)
{
    if (m_marks.empty() || m_lines - m_marks.back().line >= m_rowsPerMark
        || offset - m_marks.back().offset >= m_bytesPerMark)
        m_marks.push_back({m_lines, offset});
    ++m_lines;
    m_lineOpen = true;
}
