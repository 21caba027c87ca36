// The settings file: any bytes in must give two usable fields, and a line the
// program writes must read back as the values it was written from.
#include "FuzzCheck.h"

#include "settings/SettingsFile.h"

FUZZ_TARGET(bytes)
{
    // The settings line quotes its fields without escaping: only values free of
    // double quotes and line ends can come back unchanged. NUL is dropped on reading.
    const auto checkRoundTrip = [](const QString &address, const QString &delay) {
        if (fuzz::hasAny(address + delay, QStringView(u"\"\r\n\0", 4)))
            return;
        const QByteArray line = settingsLine(address, delay);
        FUZZ_CHECK(line.startsWith('"') && line.endsWith("\"\r\n") && line.count('\n') == 1 && line.count('\r') == 1,
                   QString::fromUtf8(line));
        const StoredSettings back = parseSettings(line);
        FUZZ_CHECK(back.address == address && back.delay == delay,
                   QStringLiteral("wrote [%1] [%2], read [%3] [%4]").arg(address, delay, back.address, back.delay));
    };
    // Whatever the file holds, the two boxes get one line of text each, and
    // saving those and loading again changes nothing.
    const StoredSettings loaded = parseSettings(bytes);
    FUZZ_CHECK(!fuzz::hasAny(loaded.address + loaded.delay, QStringView(u"\r\n\0", 3)),
               loaded.address + " | " + loaded.delay);
    checkRoundTrip(loaded.address, loaded.delay);

    // Two values typed in the boxes (split at a byte that is never UTF-8).
    const qsizetype split = bytes.indexOf('\xff');
    checkRoundTrip(QString::fromUtf8(split < 0 ? bytes : bytes.left(split)),
                   split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1)));
}
