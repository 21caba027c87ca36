// The settings file: any bytes in must give two usable fields, and a line the
// program writes must read back as the values it was written from.
#include "FuzzCheck.h"

#include "settings/SettingsFile.h"

namespace {

// The settings line quotes its fields without escaping: only values free of
// double quotes and line ends can come back unchanged. NUL is dropped on reading.
bool survivesQuoting(const QString &value)
{
    return !value.contains(u'"') && !fuzz::hasLineEnd(value) && !value.contains(QChar(0));
}

QString pair(const StoredSettings &s)
{
    return u'[' + s.address + QStringLiteral("] [") + s.delay + u']';
}

void checkRoundTrip(const QString &address, const QString &delay)
{
    const QByteArray line = settingsLine(address, delay);
    FUZZ_CHECK(line.endsWith("\"\r\n") && line.startsWith('"'), QString::fromUtf8(line));
    FUZZ_CHECK(line.count('\n') == 1 && line.count('\r') == 1, QString::fromUtf8(line));
    const StoredSettings back = parseSettings(line);
    FUZZ_CHECK(back.address == address && back.delay == delay,
               QStringLiteral("wrote [%1] [%2], read %3").arg(address, delay, pair(back)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);

    // Whatever the file holds, the two boxes get one line of text each, and
    // saving those and loading again changes nothing.
    const StoredSettings loaded = parseSettings(bytes);
    FUZZ_CHECK(!fuzz::hasLineEnd(loaded.address) && !fuzz::hasLineEnd(loaded.delay), pair(loaded));
    FUZZ_CHECK(!loaded.address.contains(QChar(0)) && !loaded.delay.contains(QChar(0)), pair(loaded));
    if (survivesQuoting(loaded.address) && survivesQuoting(loaded.delay))
        checkRoundTrip(loaded.address, loaded.delay);

    // Two values typed in the boxes (split at a byte that is never UTF-8).
    const qsizetype split = bytes.indexOf('\xff');
    const QString address = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString delay = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));
    if (survivesQuoting(address) && survivesQuoting(delay))
        checkRoundTrip(address, delay);
    return 0;
}
