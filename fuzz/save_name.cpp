// The name a finished recording is saved under, from what the guide gave its
// title and date, and the search for a free one among names already on disk.
//
// Input: one byte of switches, then the title line, a line feed, and the
// "Recorded:" field. Switch bits 0-5 say which of the six candidate names are
// taken, bit 6 writes some of them in capitals (names match in any letter
// case), bit 7 uses title and date as given instead of as the guide rules cut them.
#include "FuzzCheck.h"

#include "download/SaveName.h"
#include "guide/GuideRules.h"
#include "runner/FileNames.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtAlgorithms>

FUZZ_TARGET(bytes)
{
    if (bytes.isEmpty())
        return;
    const uint8_t switches = quint8(bytes[0]);
    const QString text = decodeText(bytes.mid(1)), first = text.section(u'\n', 0, 0), second = text.section(u'\n', 1);
    const bool fromGuide = !(switches & 0x80);
    // The table holds what the guide rules made of a title line and a field
    // (up to the next comma or line end).
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]")), fieldEnd(QStringLiteral("[\r\n,]")),
        unwanted(QStringLiteral("[/\":;\\p{Cc}]")), trailingBlanks(QStringLiteral(" +$"));
    const QString title = fromGuide ? GuideRules::titleFromLine(first.section(lineEnd, 0, 0)) : first;
    const QString date = fromGuide ? GuideRules::recordedDate(second.section(fieldEnd, 0, 0)) : second;
    const QString name = saveNameFor(title, date);

    FUZZ_CHECK(name.endsWith(QLatin1String(".mpg")) && !name.contains(unwanted) && isPlainFileName(name), name);
    // Title without its trailing blanks, "_", date, ".mpg": each character
    // kept or turned into one blank, none added or lost.
    FUZZ_CHECK(name.size() == QString(title).remove(trailingBlanks).size() + 1 + date.size() + 4, name);
    // Room for the "_05" a taken name can get, within the 255 bytes of a file name.
    FUZZ_CHECK(!fromGuide || QFile::encodeName(name).size() + 3 <= 255, name);

    const QString base = name.chopped(4);
    QStringList candidates{name}, onDisk{base + QStringLiteral("_06.mpg"), base + QStringLiteral("_1.mpg"), base};
    for (int k = 1; k <= 5; ++k)
        candidates << base + QStringLiteral("_0%1.mpg").arg(k);
    for (int k = 0; k < 6; ++k) {
        // Capitals only where they still name the same file ("ß" becomes "SS").
        const QString upper = candidates.at(k).toUpper();
        const bool capitals = (switches & 0x40) && k % 2 && upper.compare(candidates.at(k), Qt::CaseInsensitive) == 0;
        if (switches & (1u << k))
            onDisk << (capitals ? upper : candidates.at(k));
    }
    QStringList asked, answeredFree;
    const QString chosen = chooseFreeName(name, [&](const QString &candidate) {
        asked << candidate;
        if (!onDisk.contains(candidate, Qt::CaseInsensitive))
            answeredFree << candidate;
        return onDisk.contains(candidate, Qt::CaseInsensitive);
    });
    FUZZ_CHECK(asked.size() == 5 && chosen.endsWith(QLatin1String(".mpg")), asked.join(u'|') + " -> " + chosen);
    // The first name found free is kept: every later check asks about it again.
    FUZZ_CHECK(answeredFree.isEmpty() || (chosen == answeredFree.constFirst() && asked.constLast() == chosen),
               asked.join(u'|') + " -> " + chosen);
    // A title without ".mpg" of its own walks the candidates in order.
    const int expected = qMin(5, int(qCountTrailingZeroBits(uint(~switches))));
    FUZZ_CHECK(base.contains(QLatin1String(".mpg")) || chosen == candidates.at(expected),
               chosen + " / " + candidates.at(expected));
    for (int k = 0; k < 5; ++k)
        FUZZ_CHECK(base.contains(QLatin1String(".mpg")) || asked.at(k) == candidates.at(qMin(k, expected)),
                   asked.join(u'|'));
}
