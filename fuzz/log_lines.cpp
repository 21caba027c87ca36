// Decoding outside text and splitting it into lines, as the log viewer reads
// the log and every reader decodes what the tools leave.
#include "FuzzCheck.h"

#include "common/TextCodec.h"
#include "log/LogLines.h"

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

// Nothing is lost in decoding: valid UTF-8 reads as UTF-8 (an initial byte-order
// mark aside); anything else as one character per byte, each byte always the
// same character and no two bytes alike.
void checkDecoding(const QByteArray &bytes)
{
    static std::array<char16_t, 256> seen{};
    const QString text = decodeText(bytes);
    const QByteArray again = text.toUtf8();
    if (QUtf8StringView(bytes).isValidUtf8()) {
        FUZZ_CHECK(again == bytes || kBom + again == bytes, text);
        return;
    }
    FUZZ_CHECK(text.size() == bytes.size(), text);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        const char16_t c = text.at(i).unicode();
        if (b < 0x80 || b >= 0xA0)
            FUZZ_CHECK(c == b, text);
        else
            FUZZ_CHECK(c == b || c >= 0x100, text);
        if (seen[b] == 0)
            seen[b] = c == 0 ? 0xFFFF : c; // 0 marks "not seen yet"
        FUZZ_CHECK(seen[b] == (c == 0 ? 0xFFFF : c), text);
    }
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

// Each line of the log is its own bytes decoded on their own; together with
// their ends they cover the file.
void checkLogLines(const QByteArray &bytes)
{
    const QStringList lines = logLines(bytes);
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype next = at;
        while (next < bytes.size() && bytes.at(next) != '\r' && bytes.at(next) != '\n')
            ++next;
        const QByteArray own = bytes.mid(at, next - at);
        FUZZ_CHECK(lines.at(i) == decodeText(own), lines.at(i));
        FUZZ_CHECK(!lines.at(i).contains(u'\r') && !lines.at(i).contains(u'\n'), lines.at(i));
        const qsizetype end = lineEndAt(bytes, next);
        FUZZ_CHECK(end > 0 || (i == lines.size() - 1 && next == bytes.size() && !own.isEmpty()), lines.at(i));
        at = next + end;
    }
    FUZZ_CHECK(at == bytes.size(), QString::number(lines.size()));
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
