#include "common/RecordLines.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

RecordLines::RecordLines(QIODevice &device, qsizetype cap, qint64 blockSize)
    : m_device(device)
    , m_cap(cap)
    , m_blockSize(blockSize)
{
}

qint64 RecordLines::position() const
{
    return m_device.pos() - (m_block.size() - m_pos);
}

qsizetype RecordLines::nextIn(char c, qsizetype &found) const
{
    // Searched again only once passed: a search on every line for a character the
    // block lacks (LF in a file of CR ends) would read on to its end each time.
    if (found < m_pos) {
        const char *data = m_block.constData();
        const auto *at = static_cast<const char *>(std::memchr(data + m_pos, c, size_t(m_block.size() - m_pos)));
        found = at ? at - data : m_block.size();
    }
    return found;
}

bool RecordLines::fill()
{
    if (m_eof)
        return false;
    m_block.resize(m_blockSize);
    const qint64 got = m_device.read(m_block.data(), m_blockSize);
    m_block.resize(std::max<qint64>(got, 0));
    m_pos = 0;
    m_nextLf = m_nextCr = -1;
    if (got <= 0) {
        m_eof = true;
        m_failed = got < 0;
        return false;
    }
    return true;
}

bool RecordLines::next(QByteArray &line, QByteArray &ending)
{
    line.resize(0); // keeps its room for the next line
    ending.resize(0);
    if (m_pos >= m_block.size() && !fill())
        return false;
    for (;;) {
        const char *data = m_block.constData();
        const qsizetype size = m_block.size();
        const qsizetype end = std::min(nextIn('\n', m_nextLf), nextIn('\r', m_nextCr)); // the first CR or LF
        const qsizetype room = m_cap - line.size();
        if (room > 0)
            line.append(data + m_pos, std::min(room, end - m_pos));
        m_pos = end;
        if (end < size) {
            ending.append(data[m_pos++]);
            if (ending == "\r") {
                // A CR LF can be split across two blocks.
                if (m_pos >= size && !fill())
                    return true;
                if (m_block.at(m_pos) == '\n') {
                    ending.append('\n');
                    ++m_pos;
                }
            }
            return true;
        }
        if (!fill())
            return true; // the last line, without an end
    }
}
