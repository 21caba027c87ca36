#include "common/LineStream.h"

#include <QIODevice>

#include <algorithm>

LineStream::LineStream(QIODevice &device, qsizetype cap, qint64 blockSize)
    : m_device(device)
    , m_cap(cap)
    , m_blockSize(blockSize)
{
}

bool LineStream::fill()
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

bool LineStream::next(QByteArray &line, QByteArray &ending)
{
    line.clear();
    ending.clear();
    if (m_pos >= m_block.size() && !fill())
        return false;
    for (;;) {
        const char *data = m_block.constData();
        const qsizetype size = m_block.size();
        qsizetype end = m_pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
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
