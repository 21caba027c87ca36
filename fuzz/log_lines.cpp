// Decoding outside text and splitting it into lines, as every reader decodes
// what the tools leave, and the log viewer's lines read piece by piece.
#include "FuzzCheck.h"

#include "log/LogLines.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUtf8StringView>

#include <array>

static const QByteArray kBom("\xEF\xBB\xBF");
static const QRegularExpression kLineEnd(QStringLiteral("\r\n|[\r\n]")); // CR LF counts as one end

FUZZ_TARGET(bytes)
{
    // Nothing is lost in decoding, line by line: a line of valid UTF-8 reads as
    // UTF-8 (a byte-order mark at the start of the text aside); any other line as
    // one character per byte, each byte always the same character and no two bytes
    // alike. A line's end stays as it was.
    static std::array<char16_t, 256> seen{}; // each byte's character, 0 for not seen yet (NUL as 0xFFFF)
    static const QRegularExpression lineWithEnd(QStringLiteral("[^\r\n]*(?:\r\n|[\r\n])|[^\r\n]+$"));
    const QString text = decodeText(bytes);
    qsizetype at = 0;
    for (auto pieces = lineWithEnd.globalMatch(QString::fromLatin1(bytes)); pieces.hasNext();) {
        const auto match = pieces.next();
        const QByteArray line = bytes.mid(match.capturedStart(), match.capturedLength());
        if (QUtf8StringView(line).isValidUtf8()) {
            QStringDecoder keepingMarks(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            const QString own = keepingMarks.decode(at == 0 && line.startsWith(kBom) ? line.mid(kBom.size()) : line);
            FUZZ_CHECK(QStringView(text).mid(at, own.size()) == own, text);
            at += own.size();
            continue;
        }
        for (const char byte : line) {
            FUZZ_CHECK(at < text.size(), text);
            const auto b = quint8(byte);
            const char16_t c = text.at(at++).unicode(), mark = c ? c : 0xFFFF;
            // Latin-1, but for 0x80-0x9F, which may become characters beyond it (as in Windows-1252).
            FUZZ_CHECK(c == b || (b >= 0x80 && b < 0xA0 && c >= 0x100), text);
            if (!seen[b])
                seen[b] = mark;
            FUZZ_CHECK(seen[b] == mark, text);
        }
    }
    FUZZ_CHECK(at == text.size(), text);
    for (unsigned b = 0x80; b < 0xA0; ++b)
        for (unsigned other = b + 1; other < 0xA0; ++other)
            FUZZ_CHECK(seen[b] == 0 || seen[b] != seen[other], QString::number(b, 16));

    // The lines and their ends rebuild the text exactly, with one line per end
    // plus an unterminated last line, which is never empty.
    const QStringList lines = splitLines(text);
    at = 0;
    for (const QString &line : lines) {
        FUZZ_CHECK(!fuzz::hasAny(line, u"\r\n") && QStringView(text).mid(at, line.size()) == line, line);
        at += line.size();
        const auto end
            = kLineEnd.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        FUZZ_CHECK(end.hasMatch() || (&line == &lines.constLast() && at == text.size() && !line.isEmpty()), line);
        at += end.capturedLength();
    }
    FUZZ_CHECK(at == text.size(), QString::number(lines.size()));

    // The log viewer reads the same lines as the text decoded whole, however the
    // file is cut into pieces and marks; a line longer than a row shows is cut to
    // that many characters and an ellipsis. A log of nothing but a byte-order
    // mark shows one empty line, where the decoded text has none.
    const QStringList whole = bytes == kBom ? QStringList{QString()} : lines;
    const unsigned seed = bytes.isEmpty() ? 0 : quint8(bytes[0]);
    LogReadLimits limits;
    limits.pieceBytes = 1 + seed % 7;
    limits.rowsPerMark = 1 + seed % 5;
    limits.bytesPerMark = 1 + seed % 11;
    for (const bool cut : {false, true}) {
        limits.shownChars = cut ? 1 + int(seed % 13) : int(bytes.size()) + 1;
        auto file = std::make_unique<QBuffer>();
        file->setData(bytes);
        file->open(QIODevice::ReadOnly);
        LogLines log(std::move(file), limits);
        while (!log.indexPiece())
            FUZZ_CHECK(log.count() <= whole.size(), QString::number(log.count()));
        FUZZ_CHECK(log.count() == whole.size(), QString::number(log.count()));
        for (qint64 i = 0; i < log.count(); ++i) {
            const QString row = log.text(i);
            FUZZ_CHECK(
                row == whole.at(i) || (cut && row.endsWith(QChar(0x2026)) && row.size() <= limits.shownChars + 1), row);
        }
    }
}
