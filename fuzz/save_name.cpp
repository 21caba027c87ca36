// The name a finished recording is saved under, from what the guide gave its
// title and date, and the search for a free one among names already on disk.
//
// Input: one byte of switches, then the title line, a line feed, and the
// "Recorded:" field. Switch bits 0-5 say which of the six candidate names are
// taken, bit 6 writes some of them in capitals (names match in any letter
// case), bit 7 uses title and date as given instead of as the guide rules cut them.
#include "FuzzCheck.h"

#include "common/TextCodec.h"
#include "download/SaveName.h"
#include "guide/GuideRules.h"
#include "runner/FileNames.h"

#include <QFile>
#include <QStringList>

namespace {

constexpr int kNameMax = 255; // bytes in one file name

QString firstLine(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
        ++end;
    return text.left(end);
}

// What a guide field holds at most: up to the next comma or line end.
QString firstField(const QString &text)
{
    const QString line = firstLine(text);
    const qsizetype comma = line.indexOf(u',');
    return comma < 0 ? line : line.left(comma);
}

qsizetype withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return end;
}

void checkName(const QString &name, const QString &title, const QString &date, bool fromGuide)
{
    FUZZ_CHECK(name.endsWith(QLatin1String(".mpg")), name);
    FUZZ_CHECK(!name.contains(u'/'), name);
    FUZZ_CHECK(!fuzz::hasControlCharacter(name), name);
    FUZZ_CHECK(!name.contains(u'"') && !name.contains(u':') && !name.contains(u';'), name);
    FUZZ_CHECK(isPlainFileName(name), name);
    // Title without its trailing blanks, "_", date, ".mpg": each character
    // kept or turned into one blank, none added or lost.
    FUZZ_CHECK(name.size() == withoutTrailingBlanks(title) + 1 + date.size() + 4, name);
    if (fromGuide) // room for the "_05" a taken name can get
        FUZZ_CHECK(QFile::encodeName(name).size() + 3 <= kNameMax, name);
}

void checkFreeNameSearch(const QString &name, uint8_t switches)
{
    const QString base = name.chopped(4);
    QStringList candidates{name};
    for (int k = 1; k <= 5; ++k)
        candidates << base + QStringLiteral("_0%1.mpg").arg(k);

    QStringList onDisk{base + QStringLiteral("_06.mpg"), base + QStringLiteral("_1.mpg"), base};
    for (int k = 0; k < 6; ++k) {
        if (!(switches & (1u << k)))
            continue;
        // Capitals only where they still name the same file ("ß" becomes "SS").
        const QString upper = candidates.at(k).toUpper();
        const bool capitals = (switches & 0x40) && k % 2 && upper.compare(candidates.at(k), Qt::CaseInsensitive) == 0;
        onDisk << (capitals ? upper : candidates.at(k));
    }
    QStringList asked;
    QStringList answeredFree;
    const auto taken = [&](const QString &candidate) {
        asked << candidate;
        for (const QString &entry : onDisk) {
            if (entry.compare(candidate, Qt::CaseInsensitive) == 0)
                return true;
        }
        answeredFree << candidate;
        return false;
    };
    const QString chosen = chooseFreeName(name, taken);

    FUZZ_CHECK(asked.size() == 5, asked.join(u'|'));
    FUZZ_CHECK(chosen.endsWith(QLatin1String(".mpg")), chosen);
    // The first name found free is kept: every later check asks about it again.
    if (!answeredFree.isEmpty()) {
        const QString firstFree = answeredFree.constFirst();
        FUZZ_CHECK(chosen == firstFree, chosen + u'|' + firstFree);
        FUZZ_CHECK(asked.constLast() == firstFree, asked.join(u'|'));
    }
    // A title without ".mpg" of its own walks the candidates in order.
    if (!base.contains(QLatin1String(".mpg"))) {
        int expected = 0;
        while (expected < 5 && (switches & (1u << expected)))
            ++expected;
        FUZZ_CHECK(chosen == candidates.at(expected), chosen + u'|' + candidates.at(expected));
        for (int k = 0; k < 5; ++k)
            FUZZ_CHECK(asked.at(k) == candidates.at(qMin(k, expected)), asked.join(u'|'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t switches = data[0];
    const QString text = decodeText(fuzz::bytesOf(data + 1, size - 1));
    const qsizetype feed = text.indexOf(u'\n');
    const QString first = feed < 0 ? text : text.left(feed);
    const QString second = feed < 0 ? QString() : text.mid(feed + 1);

    const bool fromGuide = !(switches & 0x80);
    // The table holds what the guide rules made of a title line and a field.
    const QString title = fromGuide ? GuideRules::titleFromLine(firstLine(first)) : first;
    const QString date = fromGuide ? GuideRules::recordedDate(firstField(second)) : second;

    const QString name = saveNameFor(title, date);
    checkName(name, title, date, fromGuide);
    checkFreeNameSearch(name, switches);
    return 0;
}
