// The guide dump the helper leaves, bytes to title table and list rows, the way
// Get Guide reads it.
#include "FuzzCheck.h"

#include "common/LineStream.h"
#include "common/TextCodec.h"
#include "guide/GuideFile.h"
#include "guide/GuideParser.h"
#include "guide/GuideRules.h"

#include <QBuffer>

namespace {

constexpr int kTableSize = 201; // the main window's title table, indices 0..200
constexpr QStringView kRecordStart = u"Show #";

// Places where a record can start: "Show #" at the start of the text, after a
// line end, or after a comma (the rest of a line after a field is read as a line).
int possibleRecordStarts(const QString &text)
{
    int count = 0;
    for (qsizetype at = text.indexOf(kRecordStart); at >= 0; at = text.indexOf(kRecordStart, at + 1)) {
        const QChar before = at == 0 ? QChar(u'\n') : text.at(at - 1);
        if (before == u'\n' || before == u'\r' || before == u',')
            ++count;
    }
    return count;
}

QString quotesShown(QString text)
{
    return text.replace(u'"', QLatin1String(" - "));
}

void checkEntry(const GuideEntry &entry)
{
    const QString &t = entry.title;
    FUZZ_CHECK(t.size() == GuideRules::kTitleWidth, t);
    FUZZ_CHECK(!t.contains(u'"') && !t.contains(u';') && !t.contains(u':'), t);
    FUZZ_CHECK(!fuzz::hasLineEnd(t), t);

    FUZZ_CHECK(entry.recordDate.size() <= 10, entry.recordDate);
    FUZZ_CHECK(!fuzz::hasLineEnd(entry.recordDate), entry.recordDate);
    FUZZ_CHECK(entry.fileName.size() <= 26, entry.fileName);
    FUZZ_CHECK(!fuzz::hasLineEnd(entry.fileName), entry.fileName);

    // The row shows this entry: its title first, its date last after nine blanks.
    const QString &row = entry.row;
    FUZZ_CHECK(!row.contains(u'"'), row);
    FUZZ_CHECK(!fuzz::hasLineEnd(row), row);
    FUZZ_CHECK(row.startsWith(t), row);
    const QString tail = QString(9, u' ') + quotesShown(entry.recordDate);
    FUZZ_CHECK(row.size() >= t.size() + tail.size(), row);
    FUZZ_CHECK(row.endsWith(tail), row);
}

bool sameEntry(const GuideEntry &a, const GuideEntry &b)
{
    return a.title == b.title && a.recordDate == b.recordDate && a.fileName == b.fileName && a.row == b.row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decodeText(fuzz::bytesOf(data, size));
    const GuideParseResult full = parseGuide(text, kTableSize);

    // The table and the list are filled from the same entries: their count must
    // fit the table and every entry must be whole.
    const qsizetype kept = full.entries.size();
    FUZZ_CHECK(kept <= kTableSize, QString::number(kept));
    FUZZ_CHECK(full.leftOut >= 0, QString::number(full.leftOut));
    FUZZ_CHECK(full.leftOut == 0 || kept == kTableSize, QString::number(full.leftOut));
    FUZZ_CHECK(full.incompleteRecords == 0 || full.incompleteRecords == 1, QString::number(full.incompleteRecords));
    for (const GuideEntry &entry : full.entries)
        checkEntry(entry);

    // Every record, whole or not, used up one "Show #" line.
    const qsizetype records = kept + full.leftOut + full.incompleteRecords;
    FUZZ_CHECK(records <= possibleRecordStarts(text), QString::number(records));

    // A smaller table keeps the first entries and counts the rest as left out.
    const int capacity = int(kept / 2);
    const GuideParseResult part = parseGuide(text, capacity);
    FUZZ_CHECK(part.entries.size() == capacity, QString::number(part.entries.size()));
    FUZZ_CHECK(part.entries.size() + part.leftOut == kept + full.leftOut, QString::number(part.leftOut));
    FUZZ_CHECK(part.incompleteRecords == full.incompleteRecords, QString::number(part.incompleteRecords));
    for (int i = 0; i < capacity; ++i)
        FUZZ_CHECK(sameEntry(part.entries.at(i), full.entries.at(i)), part.entries.at(i).row);

    // Streamed from the file in small blocks, line by line: the same entries.
    QByteArray bytes = fuzz::bytesOf(data, size);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    LineStream lines(file, LineStream::kDefaultCap, 1 + qint64(size % 7));
    const GuideParseResult streamed = parseGuideLines(lines, kTableSize);
    FUZZ_CHECK(streamed.entries.size() == kept, QString::number(streamed.entries.size()));
    FUZZ_CHECK(streamed.leftOut == full.leftOut && streamed.incompleteRecords == full.incompleteRecords, text);
    for (qsizetype i = 0; i < kept; ++i)
        FUZZ_CHECK(sameEntry(streamed.entries.at(i), full.entries.at(i)), streamed.entries.at(i).row);
    return 0;
}
