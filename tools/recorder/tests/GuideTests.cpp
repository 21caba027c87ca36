// "Tolvane ADDRESS -g" then "Tamrick guide": Guide.dat and Guide.txt.
#include "RecorderTest.h"

#include <algorithm>

namespace {

struct GuideShow
{
    QString title, quality, recorded, fileName, duration, description;
};

struct Guide
{
    QStringList header; // the lines before the first record
    QList<GuideShow> shows;
};

// Fetches the guide and reads Guide.txt as Kelvado does: a record starts at its
// "Show #" line, fields are found by line prefix, values are taken from fixed
// positions, and commas split fields. Returns what breaks that layout, or nothing.
QString fetchGuide(const Sandbox &s, Guide &guide)
{
    if (s.run("Tolvane", {"192.168.1.20", "-g"}).exitCode != 0 || !s.exists("Guide.dat")
        || s.run("Tamrick", {"guide"}).exitCode != 0)
        return QStringLiteral("the tools failed");
    const QByteArray text = s.read("Guide.txt");
    if (!text.endsWith("\r\n") || text.count('\n') != text.count("\r\n"))
        return QStringLiteral("not every line ends in CR LF");
    QStringList lines = QString::fromUtf8(text).split(QStringLiteral("\r\n"));
    lines.removeLast();
    qsizetype i = 0;
    while (i < lines.size() && !lines[i].startsWith(QStringLiteral("Show #")))
        guide.header << lines[i++];
    while (i < lines.size()) {
        const qsizetype start = i;
        while (i < lines.size() && !lines[i].isEmpty())
            ++i;
        if (i++ == lines.size())
            return QStringLiteral("the last record does not end with a blank line");
        const QStringList record = lines.mid(start, i - 1 - start);
        const QString number = QString::number(guide.shows.size() + 1);
        if (record.value(0) != "Show #" + number || !record.value(1).startsWith("Title:"))
            return QStringLiteral("record start: ") + record.mid(0, 2).join(u'|');
        QList<qsizetype> at;
        for (const char *prefix : {"Quality: ", "Recorded: ", "Filename: ", "Duration: ", "Description: "}) {
            QList<qsizetype> where;
            for (qsizetype k = 0; k < record.size(); ++k)
                if (record[k].startsWith(QLatin1String(prefix)))
                    where << k;
            if (where.size() != 1)
                return QStringLiteral("not one \"%1\" line in: %2").arg(prefix, record[0]);
            at << where[0];
        }
        // In order, with other lines between them as in a real dump.
        if (!std::is_sorted(at.begin(), at.end()) || at[0] < 2 || at[3] < 6)
            return QStringLiteral("field order in: ") + record.join(u'|');
        for (qsizetype k = 1; k < record.size(); ++k)
            if (k != at[4] && record[k].contains(u','))
                return QStringLiteral("comma in: ") + record[k];
        const GuideShow show{record[1].mid(6),      record[at[0]].mid(9),  record[at[1]].mid(10),
                             record[at[2]].mid(10), record[at[3]].mid(10), record[at[4]].mid(13)};
        const QRegularExpression date("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$"), minutes("^\\d{3,} min$");
        if (!date.match(show.recorded).hasMatch() || !minutes.match(show.duration).hasMatch())
            return QStringLiteral("date or duration in: ") + record.join(u'|');
        guide.shows << show;
    }
    return {};
}

} // namespace

void RecorderTest::guideDemo()
{
    Sandbox s;
    s.env["SIMREC_RATE"] = "0";
    Guide guide;
    const QString error = fetchGuide(s, guide);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(guide.shows.size(), 12);
    QVERIFY(guide.header.contains("Total shows: 12"));

    QString titles;
    bool longTitle = false, descriptionComma = false;
    QSet<QString> qualities, names;
    QSet<qint64> sizes;
    for (const GuideShow &show : guide.shows) {
        titles += show.title;
        longTitle = longTitle || show.title.size() > 58;
        qualities << show.quality;
        names << show.fileName;
        descriptionComma = descriptionComma || show.description.contains(u',');
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{1,22}\\.mpg$")).match(show.fileName).hasMatch(),
                 qPrintable(show.fileName));
        QVERIFY(show.recorded.mid(6, 4).toInt() >= 2002 && show.recorded.mid(6, 4).toInt() <= 2005);
        QVERIFY(show.duration.section(u' ', 0, 0).toInt() > 0);
        const qint64 size = s.statSize(show.fileName);
        QVERIFY2(size >= 2000000 && size <= 6 * 1048576, qPrintable(show.fileName));
        sizes << size;
    }
    QCOMPARE(qualities, (QSet<QString>{"Standard", "Medium", "High"}));
    QCOMPARE(names.size(), 12);
    QVERIFY(sizes.size() >= 10);
    QVERIFY(descriptionComma);
    // The demo titles exercise every awkward case Kelvado handles.
    QVERIFY(longTitle);
    for (const QChar c : QStringLiteral("():;/\""))
        QVERIFY2(titles.contains(c), qPrintable(c));
    QVERIFY(std::any_of(titles.begin(), titles.end(), [](QChar c) { return c.unicode() > 0x7f; }));

    // A built-in recording extracts at the size Tamrick reports.
    const QString name = guide.shows[5].fileName;
    QCOMPARE(s.run("Tolvane", {"addr", "-e", name, "0"}).exitCode, 0);
    QCOMPARE(s.read(name), recording(name, s.statSize(name)));
}

void RecorderTest::guideFromCatalog()
{
    Sandbox s;
    s.useTestCatalog(nullptr);
    Guide guide;
    const QString error = fetchGuide(s, guide);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(guide.header.contains("Total shows: 4"));
    const QStringList durations{"005 min", "1234 min", "000 min", "030 min"};
    QCOMPARE(guide.shows.size(), testRows().size());
    for (qsizetype i = 0; i < guide.shows.size(); ++i) {
        const GuideShow &show = guide.shows[i];
        const CatalogRow &row = testRows()[i];
        QCOMPARE((QStringList{show.title, show.quality, show.recorded, show.fileName, show.duration}),
                 (QStringList{row.title, row.quality, row.date + " " + row.time, row.fileName, durations[i]}));
    }

    // Guide.txt comes from Guide.dat, not from whatever catalog is current.
    s.env.remove("SIMREC_CATALOG");
    QFile::remove(s.work("Guide.txt"));
    QCOMPARE(s.run("Tamrick", {"guide"}).exitCode, 0);
    QVERIFY(s.read("Guide.txt").contains("Title:" + testRows()[0].title.toUtf8() + "\r\n"));
}

void RecorderTest::guideWithoutUsableDat()
{
    Sandbox s;
    QCOMPARE(s.run("Tolvane", {"addr", "-g"}).exitCode, 0);
    QByteArray damaged = s.read("Guide.dat");
    damaged[damaged.lastIndexOf('\t') + 1] = 'x';
    for (const QByteArray &dat : {QByteArray(), QByteArray("not a guide\n"), damaged}) {
        QFile::remove(s.work("Guide.dat"));
        if (!dat.isNull())
            Sandbox::write(s.work("Guide.dat"), dat);
        const ToolRun run = s.run("Tamrick", {"guide"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.isEmpty());
        QVERIFY(!s.exists("Guide.txt"));
    }

    // SIMREC_GUIDE_FILE needs no Guide.dat: bare LF, CR LF, NUL and every other byte pass unchanged.
    QFile::remove(s.work("Guide.dat"));
    QByteArray bytes("Show #1\nnot CR LF\r\n\0tail", 24);
    for (int i = 0; i < 5000; ++i)
        bytes += char((i * 131 + 7) & 0xff);
    s.env["SIMREC_GUIDE_FILE"] = Sandbox::write(s.aux("hand-made.txt"), bytes);
    QCOMPARE(s.run("Tamrick", {"guide"}).exitCode, 0);
    QCOMPARE(s.read("Guide.txt"), bytes);

    s.env["SIMREC_GUIDE_FILE"] = s.aux("missing.txt");
    QFile::remove(s.work("Guide.txt"));
    QCOMPARE(s.run("Tamrick", {"guide"}).exitCode, 2);
    QVERIFY(!s.exists("Guide.txt"));
}
