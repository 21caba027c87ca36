#include "common/LineStream.h"

#include "common/TextCodec.h"

#include <QIODevice>

#include <algorithm>

namespace {

QStringDecoder::Flags utf8Flags(bool startOfText)
{
    // A byte-order mark is dropped only where it can mark the text: at its start.
    return startOfText ? QStringDecoder::Flag::Default : QStringDecoder::Flag::ConvertInitialBom;
}

qsizetype findLineEnd(const QByteArray &bytes, qsizetype from)
{
    const char *data = bytes.constData();
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            return i;
    }
    return -1;
}

} // namespace

LineStream::LineStream(QIODevice &device, qsizetype piece, qint64 blockSize)
    : m_device(device)
    , m_piece(std::max<qsizetype>(piece, 1))
    , m_blockSize(std::max<qint64>(blockSize, 1))
{
}

bool LineStream::more()
{
    if (m_eof)
        return false;
    // What has been handed out goes, so the held bytes stay within a piece and a block.
    m_block.remove(0, m_pos);
    m_pos = 0;
    const qsizetype held = m_block.size();
    m_block.resize(held + m_blockSize);
    const qint64 got = m_device.read(m_block.data() + held, m_blockSize);
    m_block.resize(held + std::max<qint64>(got, 0));
    if (m_blockRead)
        m_blockRead();
    if (got <= 0) {
        m_eof = true;
        m_failed = got < 0;
        return false;
    }
    return true;
}

qsizetype LineStream::lineEnd()
{
    qsizetype searched = m_pos;
    for (;;) {
        const qsizetype end = findLineEnd(m_block, searched);
        const qsizetype held = m_block.size() - m_pos;
        if (end >= 0 || held >= m_piece || !more())
            return end;
        searched = m_pos + held; // more() has moved the held bytes to the front
    }
}

bool LineStream::lineIsUtf8()
{
    QStringDecoder check(QStringDecoder::Utf8);
    const qint64 resumeAt = m_device.pos();
    QByteArray bytes = m_block.mid(m_pos);
    for (;;) {
        const qsizetype end = findLineEnd(bytes, 0);
        const QString decoded = check.decode(end < 0 ? bytes : bytes.first(end)); // decodes only when taken
        Q_UNUSED(decoded);
        if (check.hasError() || end >= 0 || m_device.isSequential())
            break;
        bytes = m_device.read(m_blockSize);
        if (m_blockRead)
            m_blockRead();
        if (bytes.isEmpty())
            break;
    }
    // A sequence cut off by the line's end is no more valid than a wrong one.
    const QString flushed = check.decode("\n");
    Q_UNUSED(flushed);
    if (!m_device.isSequential())
        m_device.seek(resumeAt);
    return !check.hasError();
}

void LineStream::take(QString &text, qsizetype end, bool withEnd)
{
    qsizetype stop = end;
    if (withEnd) {
        ++stop;
        // A CR LF can be split across two blocks.
        if (m_block.at(end) == '\r' && stop == m_block.size()) {
            const qsizetype offset = end - m_pos;
            more();
            end = m_pos + offset;
            stop = end + 1;
        }
        if (m_block.at(end) == '\r' && stop < m_block.size() && m_block.at(stop) == '\n')
            ++stop;
    }
    const QByteArrayView bytes = QByteArrayView(m_block).sliced(m_pos, stop - m_pos);
    if (!m_inLongLine)
        text += decodeLine(bytes, m_startOfText);
    else if (m_longLineUtf8)
        text += m_utf8.decode(bytes);
    else
        text += decodeWindows1252(bytes);
    m_pos = stop;
    m_startOfText = false;
    if (withEnd || (m_eof && m_pos == m_block.size()))
        m_inLongLine = false;
}

bool LineStream::next(QString &text)
{
    if (m_pos >= m_block.size() && !more())
        return false;
    const qsizetype end = lineEnd();
    if (end >= 0 && end - m_pos <= m_piece) {
        take(text, end, true);
        return true;
    }
    const qsizetype held = m_block.size() - m_pos;
    if (end < 0 && held < m_piece) { // the last line, without an end
        take(text, m_block.size(), false);
        return true;
    }
    if (!m_inLongLine) {
        m_longLineUtf8 = lineIsUtf8();
        m_utf8 = QStringDecoder(QStringDecoder::Utf8, utf8Flags(m_startOfText));
        m_inLongLine = true;
    }
    take(text, m_pos + m_piece, false);
    return true;
}
