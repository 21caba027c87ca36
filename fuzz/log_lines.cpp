// Decoding outside text and splitting it into lines, as every reader decodes
// what the tools leave, and the log viewer's lines read piece by piece.
#include "FuzzCheck.h"

#include "common/TextCodec.h"
#include "log/LogLines.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QUtf8StringView>

#include <array>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// Length of the line end at `at` (CR LF counts as one end), 0 when none is there.
template<typename Text>
qsizetype lineEndAt(const Text &text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    if (text.at(at) == u'\r')
        return at + 1 < text.size() && text.at(at + 1) == u'\n' ? 2 : 1;
    return text.at(at) == u'\n' ? 1 : 0;
}

// The lines of the bytes, each with its end (CR LF counts as one end).
QList<QByteArray> linesWithEnds(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype next = at;
        while (next < bytes.size() && bytes.at(next) != '\r' && bytes.at(next) != '\n')
            ++next;
        next += lineEndAt(bytes, next);
        lines << bytes.mid(at, next - at);
        at = next;
    }
    return lines;
}

// Nothing is lost in decoding, line by line: a line of valid UTF-8 reads as
// UTF-8 (a byte-order mark at the start of the text aside); any other line as
// one character per byte, each byte always the same character and no two bytes
// alike. A line's end stays as it was.
void checkDecoding(const QByteArray &bytes)
{
    static std::array<char16_t, 256> seen{};
    const QString text = decodeText(bytes);
    qsizetype at = 0;
    for (const QByteArray &line : linesWithEnds(bytes)) {
        if (QUtf8StringView(line).isValidUtf8()) {
            const QByteArray utf8 = line.startsWith(kBom) && at == 0 ? line.mid(kBom.size()) : line;
            QStringDecoder keepingMarks(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            const QString own = keepingMarks.decode(utf8);
            FUZZ_CHECK(QStringView(text).mid(at, own.size()) == own, text);
            at += own.size();
            continue;
        }
        for (qsizetype i = 0; i < line.size(); ++i, ++at) {
            FUZZ_CHECK(at < text.size(), text);
            const auto b = static_cast<unsigned char>(line.at(i));
            const char16_t c = text.at(at).unicode();
            if (b < 0x80 || b >= 0xA0)
                FUZZ_CHECK(c == b, text);
            else
                FUZZ_CHECK(c == b || c >= 0x100, text);
            if (seen[b] == 0)
                seen[b] = c == 0 ? 0xFFFF : c; // 0 marks "not seen yet"
            FUZZ_CHECK(seen[b] == (c == 0 ? 0xFFFF : c), text);
        }
    }
    FUZZ_CHECK(at == text.size(), text);
    for (unsigned b = 0x80; b < 0xA0; ++b) {
        for (unsigned other = b + 1; other < 0xA0; ++other)
            FUZZ_CHECK(seen[b] == 0 || seen[b] != seen[other], QString::number(b, 16));
    }
}

// The lines and their ends rebuild the text exactly, with one line per end
// plus an unterminated last line.
void checkSplit(const QString &text)
{
    const QStringList lines = splitLines(text);
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'), line);
        FUZZ_CHECK(QStringView(text).mid(at, line.size()) == line, line);
        at += line.size();
        const qsizetype end = lineEndAt(text, at);
        // Only a last line may lack its end, and then it is not empty.
        FUZZ_CHECK(end > 0 || (i == lines.size() - 1 && at == text.size() && !line.isEmpty()), line);
        at += end;
    }
    FUZZ_CHECK(at == text.size(), QString::number(lines.size()));
}

// The log viewer reads the same lines as the text decoded whole, however the
// file is cut into pieces and marks; a line longer than a row shows is cut
// to that many characters and an ellipsis.
void checkLogLines(const QByteArray &bytes)
{
    // A log of nothing but a byte-order mark shows one empty line, where the
    // decoded text has none.
    const QStringList whole = bytes == kBom ? QStringList{QString()} : splitLines(decodeText(bytes));
    const auto seed = bytes.isEmpty() ? 0u : static_cast<unsigned char>(bytes.at(0));
    LogReadLimits limits;
    limits.pieceBytes = 1 + seed % 7;
    limits.rowsPerMark = 1 + seed % 5;
    limits.bytesPerMark = 1 + seed % 11;
    limits.shownChars = 1 + seed % 13;
    for (const bool cut : {false, true}) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(bytes);
        buffer->open(QIODevice::ReadOnly);
        if (!cut)
            limits.shownChars = int(bytes.size()) + 1;
        LogLines log(std::move(buffer), limits);
        while (!log.indexPiece()) {
            FUZZ_CHECK(log.count() <= whole.size(), QString::number(log.count()));
        }
        FUZZ_CHECK(log.count() == whole.size(), QString::number(log.count()));
        for (qint64 i = 0; i < log.count(); ++i) {
            const QString row = log.text(i);
            if (!cut) {
                FUZZ_CHECK(row == whole.at(i), row);
                continue;
            }
            FUZZ_CHECK(row == whole.at(i) || (row.endsWith(QChar(0x2026)) && row.size() <= limits.shownChars + 1),
                       row);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    checkDecoding(bytes);
    checkSplit(decodeText(bytes));
    checkLogLines(bytes);
    return 0;
}
