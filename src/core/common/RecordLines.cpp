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

bool RecordLines::fill()
{
    if (m_eof)
        return false;
    m_block.resize(m_blockSize);
    const qint64 got = m_device.read(m_block.data(), m_blockSize);
    m_block.resize(std::max<qint64>(got, 0));
    m_pos = 0;
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
        // The line ends at the first CR or LF: LF found first, then a CR before it.
        const char *from = data + m_pos;
        const auto *lf = static_cast<const char *>(std::memchr(from, '\n', size_t(size - m_pos)));
        const qsizetype span = lf ? lf - from : size - m_pos;
        const auto *cr = static_cast<const char *>(std::memchr(from, '\r', size_t(span)));
        const qsizetype end = m_pos + (cr ? cr - from : span);
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
