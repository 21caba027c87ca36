// The helper's file-statistics file, bytes to the size of one recording, the
// way a click on the list measures a ticked title.
#include "FuzzCheck.h"

#include "common/ByteCount.h"
#include "common/TextCodec.h"
#include "guide/FileStatReader.h"

#include <cmath>
#include <limits>

namespace {

// The largest size the session's byte count can hold.
const double kLargestByteCount = double(std::numeric_limits<qint64>::max() / ByteCount::kScale);

QString withSize(const QString &text, double size)
{
    return text + QStringLiteral(" -> ") + QString::number(size, 'g', 17);
}

void checkReading(const FileStatReading &reading, const QString &text)
{
    FUZZ_CHECK(std::isfinite(reading.size), text);
    FUZZ_CHECK(reading.ok() || reading.size == 0, text);
    // A size the session cannot count down in its byte count would make the
    // progress figures and the end test meaningless.
    FUZZ_CHECK(reading.size >= 0, withSize(text, reading.size));
    FUZZ_CHECK(reading.size <= kLargestByteCount, withSize(text, reading.size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decodeText(fuzz::bytesOf(data, size));
    checkReading(readFileStat(text), text);

    // The helper's own form, with a size taken from the input: read back exactly.
    if (size >= 6) {
        quint64 bytes = 0;
        for (int i = 0; i < 6; ++i)
            bytes = (bytes << 8) | data[i];
        const QString name = decodeText(fuzz::bytesOf(data + 6, size - 6));
        const QString line = QStringLiteral("FileStat,Size=%1,Name=%2\r\n").arg(bytes).arg(name);
        const FileStatReading reading = readFileStat(line);
        FUZZ_CHECK(reading.ok() == (bytes != 0), line);
        FUZZ_CHECK(reading.size == double(bytes), withSize(line, reading.size));
    }
    return 0;
}
