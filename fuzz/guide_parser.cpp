// The guide dump the helper leaves, bytes to title table and list rows, the way
// Get Guide reads it.
#include "FuzzCheck.h"

#include "common/LineStream.h"
#include "guide/GuideFile.h"
#include "guide/GuideParser.h"
#include "guide/GuideRules.h"

#include <QBuffer>
#include <QRegularExpression>

FUZZ_TARGET(bytes)
{
    constexpr int kTableSize = 201; // the main window's title table, indices 0..200
    const auto counts = [](const GuideParseResult &r) {
        return QString::asprintf("%lld kept, %d left out, %d incomplete", qint64(r.entries.size()), r.leftOut,
                                 r.incompleteRecords);
    };
    // The first n entries of a are those of b.
    const auto checkSameStart = [](const GuideParseResult &a, const GuideParseResult &b, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i) {
            const GuideEntry &x = a.entries.at(i), &y = b.entries.at(i);
            FUZZ_CHECK(x.title == y.title && x.recordDate == y.recordDate && x.fileName == y.fileName && x.row == y.row,
                       x.row + " / " + y.row);
        }
    };
    // The reference: the whole text decoded and parsed at once, every field and
    // line kept whole, with no cap anywhere.
    const QString text = decodeText(bytes);
    const GuideParseResult full = parseGuide(text, kTableSize);

    // The table and the list are filled from the same entries: their count must
    // fit the table and every entry must be whole.
    const qsizetype kept = full.entries.size();
    FUZZ_CHECK(kept <= kTableSize && full.leftOut >= 0 && (full.leftOut == 0 || kept == kTableSize), counts(full));
    FUZZ_CHECK(full.incompleteRecords == 0 || full.incompleteRecords == 1, counts(full));
    for (const GuideEntry &e : full.entries) {
        FUZZ_CHECK(e.title.size() == GuideRules::kTitleWidth && !fuzz::hasAny(e.title, u"\";:\r\n"), e.title);
        FUZZ_CHECK(e.recordDate.size() <= 10 && !fuzz::hasAny(e.recordDate, u"\r\n"), e.recordDate);
        FUZZ_CHECK(e.fileName.size() <= 26 && !fuzz::hasAny(e.fileName, u"\r\n"), e.fileName);
        // The row shows this entry: its title first, its date last after nine blanks.
        const QString tail = QString(9, u' ') + QString(e.recordDate).replace(u'"', QLatin1String(" - "));
        FUZZ_CHECK(!fuzz::hasAny(e.row, u"\"\r\n") && e.row.startsWith(e.title)
                       && e.row.size() >= e.title.size() + tail.size() && e.row.endsWith(tail),
                   e.row);
    }
    // Every record, whole or not, used up one "Show #" at the start of the text,
    // after a line end, or after a comma (the rest of a line after a field is read as a line).
    static const QRegularExpression recordStart(QStringLiteral("(?:^|[\r\n,])Show #"));
    FUZZ_CHECK(kept + full.leftOut + full.incompleteRecords <= text.count(recordStart), counts(full));

    // A smaller table keeps the first entries and counts the rest as left out.
    const GuideParseResult part = parseGuide(text, int(kept / 2));
    FUZZ_CHECK(part.entries.size() == kept / 2 && part.entries.size() + part.leftOut == kept + full.leftOut
                   && part.incompleteRecords == full.incompleteRecords,
               counts(part) + " of " + counts(full));
    checkSameStart(part, full, kept / 2);

    // Streamed as the file is read, in small blocks, lines longer than a few
    // bytes in pieces, only the first characters of a field kept: the same
    // entries as the reference, whatever the length of a line or a field.
    QByteArray copy = bytes;
    QBuffer file(&copy);
    file.open(QIODevice::ReadOnly);
    LineStream lines(file, 1 + bytes.size() % 13, 1 + bytes.size() % 7);
    const GuideParseResult streamed = parseGuideLines(lines, kTableSize);
    FUZZ_CHECK(streamed.entries.size() == kept && streamed.leftOut == full.leftOut
                   && streamed.incompleteRecords == full.incompleteRecords,
               counts(streamed) + " of " + counts(full));
    checkSameStart(streamed, full, kept);
}
