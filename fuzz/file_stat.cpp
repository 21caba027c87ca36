// The helper's file-statistics file, bytes to the size of one recording, the
// way a click on the list measures a ticked title.
#include "FuzzCheck.h"

#include "common/ByteCount.h"
#include "guide/FileStatReader.h"

#include <cmath>
#include <limits>

FUZZ_TARGET(bytes)
{
    // A size the session cannot count down in its byte count would make the
    // progress figures and the end test meaningless.
    const double largest = double(std::numeric_limits<qint64>::max() / ByteCount::kScale);
    const auto shown = [](const QString &text, double size) { return text + " -> " + QString::number(size, 'g', 17); };
    const QString text = decodeText(bytes);
    const FileStatReading reading = readFileStat(text);
    FUZZ_CHECK(std::isfinite(reading.size) && reading.size >= 0 && reading.size <= largest, shown(text, reading.size));
    FUZZ_CHECK(reading.ok() || reading.size == 0, shown(text, reading.size));

    // The helper's own form, with a size from the first six bytes: read back exactly.
    if (bytes.size() < 6)
        return;
    quint64 size = 0;
    for (int i = 0; i < 6; ++i)
        size = size << 8 | quint8(bytes[i]);
    const QString line = QStringLiteral("FileStat,Size=%1,Name=%2\r\n").arg(size).arg(decodeText(bytes.mid(6)));
    const FileStatReading back = readFileStat(line);
    FUZZ_CHECK(back.ok() == (size != 0) && back.size == double(size), shown(line, back.size));
}
