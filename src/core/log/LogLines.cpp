#include "log/LogLines.h"

#include "runner/RegularFile.h"
#include "common/TextCodec.h"
#include "runner/FileNames.h"

#include <QFile>

#include <algorithm>

namespace {

// Decoded lines kept for quick scrolling: at most this many characters, with
// each line counting a few more for what it costs besides its text.
constexpr int kCachedChars = 2 * 1024 * 1024;
constexpr int kCharsPerLine = 32;
// The most bytes one character takes in UTF-8.
constexpr int kMaxCharBytes = 4;

qsizetype lineEndIn(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n')
            return i;
    }
    return -1;
}

// Without a UTF-8 sequence that the cut left incomplete at the end.
QByteArrayView withoutCutCharacter(QByteArrayView bytes)
{
    for (qsizetype back = 1; back <= kMaxCharBytes && back <= bytes.size(); ++back) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: its lead is further back
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? bytes.first(bytes.size() - back) : bytes;
    }
    return bytes;
}

} // namespace

LogLines::LogLines(std::unique_ptr<QIODevice> device, const LogReadLimits &limits)
    : m_device(std::move(device))
    , m_limits(limits)
    , m_size(m_device->size())
    , m_index(limits.rowsPerMark, limits.bytesPerMark)
    , m_stretches(kCachedChars)
{
    m_limits.pieceBytes = std::max<qint64>(1, m_limits.pieceBytes);
    m_limits.shownChars = std::max(1, m_limits.shownChars);
}

LogLines::~LogLines() = default;

std::unique_ptr<LogLines> LogLines::open(const QString &name, QString *error, const LogReadLimits &limits)
{
    auto file = std::make_unique<QFile>();
    if (!openRegularFile(*file, resolveFileName(name), QIODevice::ReadOnly | QIODevice::Unbuffered, error))
        return nullptr;
    return std::make_unique<LogLines>(std::move(file), limits);
}

bool LogLines::indexPiece()
{
    if (m_indexed)
        return true;
    const qint64 want = std::min(m_limits.pieceBytes, m_size - m_index.scanned());
    qint64 got = 0;
    if (want > 0) {
        m_piece.resize(want);
        got = m_device->seek(m_index.scanned()) ? m_device->read(m_piece.data(), want) : -1;
        if (got > 0)
            m_index.scan(QByteArrayView(m_piece).first(got));
    }
    // The file ends early (it was cut short meanwhile) or cannot be read: the
    // lines found so far are all there is.
    if (want > 0 && got <= 0)
        m_readFailed = got < 0;
    if (want <= 0 || got <= 0 || m_index.scanned() >= m_size) {
        m_index.finish();
        m_indexed = true;
        m_piece = QByteArray();
    }
    return m_indexed;
}

QString LogLines::text(qint64 i) const
{
    if (i < 0 || i >= count())
        return QString();
    const int mark = m_index.markBefore(i);
    Stretch *stretch = m_stretches.object(mark);
    if (!stretch || i - stretch->firstLine >= stretch->texts.size())
        stretch = readStretch(mark);
    if (!stretch || i - stretch->firstLine >= stretch->texts.size())
        return QString();
    return stretch->texts.at(i - stretch->firstLine);
}

// Reads and decodes the lines from one mark to the next (those complete so
// far). They all start within bytesPerMark of the mark, so one read of that
// much and one shown line's worth more holds them.
LogLines::Stretch *LogLines::readStretch(int mark) const
{
    const LineIndex::Mark &from = m_index.mark(mark);
    const bool last = mark + 1 >= m_index.markCount();
    const qint64 end = last ? m_index.scanned() : m_index.mark(mark + 1).offset;
    const qint64 lines = (last ? count() : m_index.mark(mark + 1).line) - from.line;
    const qint64 shownBytes = qint64(m_limits.shownChars) * kMaxCharBytes + 2;
    const qint64 want = std::min(end - from.offset, m_limits.bytesPerMark + shownBytes);

    QByteArray bytes(want, Qt::Uninitialized);
    const qint64 got = m_device->seek(from.offset) ? m_device->read(bytes.data(), want) : -1;
    bytes.truncate(std::max<qint64>(0, got));
    // A line with no end among the bytes read runs on past them, unless they
    // reach the end of the stretch.
    const bool readToEnd = got == end - from.offset;

    auto stretch = std::make_unique<Stretch>();
    stretch->firstLine = from.line;
    qsizetype at = 0;
    qsizetype cost = 0;
    for (qint64 n = 0; n < lines && at <= bytes.size(); ++n) {
        const qsizetype lineEnd = lineEndIn(bytes, at);
        const qsizetype stop = lineEnd < 0 ? bytes.size() : lineEnd;
        const QString text
            = shown(QByteArrayView(bytes).sliced(at, stop - at), lineEnd < 0 && !readToEnd, from.offset + at == 0);
        cost += text.size() + kCharsPerLine;
        stretch->texts << text;
        if (lineEnd < 0)
            break;
        at = lineEnd + 1;
        if (bytes.at(lineEnd) == '\r' && at < bytes.size() && bytes.at(at) == '\n')
            ++at;
    }
    Stretch *kept = stretch.get();
    if (!m_stretches.insert(mark, stretch.release(), cost))
        return nullptr;
    return kept;
}

QString LogLines::shown(QByteArrayView line, bool cut, bool startOfText) const
{
    const qsizetype maxBytes = qsizetype(m_limits.shownChars) * kMaxCharBytes;
    if (line.size() > maxBytes) {
        line = line.first(maxBytes);
        cut = true;
    }
    QString text = decodeLine(cut ? withoutCutCharacter(line) : line, startOfText);
    if (text.size() > m_limits.shownChars) {
        qsizetype keep = m_limits.shownChars;
        if (text.at(keep - 1).isHighSurrogate())
            --keep;
        text.truncate(keep);
        cut = true;
    }
    if (cut)
        text += QChar(0x2026); // …
    return text;
}
