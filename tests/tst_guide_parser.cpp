// The guide dump parser and the rules that turn a record into a title and a row.
#include "common/LineStream.h"
#include "guide/FileStatReader.h"
#include "guide/GuideFile.h"
#include "guide/GuideMessages.h"
#include "guide/GuideParser.h"
#include "guide/GuideRules.h"

#include <QtTest>

namespace {

QString blanks(int n)
{
    return QString(n, u' ');
}

const QString kStandard = QStringLiteral("Standard") + blanks(6);
const QString kHigh = QStringLiteral("High") + blanks(10);

// One record as the recorder's dump writes it, with lines around the four fields.
QString record(const QString &titleLine, const QString &quality = QStringLiteral("Quality: Standard"),
               const QString &recorded = QStringLiteral("Recorded: 12/05/2003 20:00:00"),
               const QString &filename = QStringLiteral("Filename: 1070683200.mpg"),
               const QString &duration = QStringLiteral("Duration: 060 min"))
{
    return QStringList{QStringLiteral("Show #1"), titleLine, QStringLiteral("Category: Movies"), quality, recorded,
                       QStringLiteral("Channel: 5 KTVU"), filename, duration,
                       QStringLiteral("Description: words, with a comma"), QString(), QString()}
        .join(QStringLiteral("\r\n"));
}

// Lines separated by "|" instead of CR LF, to keep the records readable.
QString crlf(const char *lines)
{
    return QString::fromUtf8(lines).replace(u'|', QStringLiteral("\r\n"));
}

QString row(const QString &title, const QString &quality, const QString &minutes = "060",
            const QString &date = "12/05/2003")
{
    return title.leftJustified(58) + quality + minutes + blanks(9) + date;
}

} // namespace

class GuideParserTest : public QObject
{
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void titleRule_data();
    void titleRule();
    void dateKeptAsRead();
    void capacity_data();
    void capacity();
    void fileStat_data();
    void fileStat();
    void messages();
};

void GuideParserTest::records_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<int>("incomplete");

    const QString body = crlf("Title:A|Quality: High|Recorded: 01/01/2001|Filename: a.mpg|Duration: 030|");
    const QString rowA = row(QStringLiteral("A"), kHigh, QStringLiteral("030"), QStringLiteral("01/01/2001"));
    const QString rowT = row(QStringLiteral(" T"), kStandard);
    const QStringList a{"a.mpg"}, f{"f.mpg"}, whole{"1070683200.mpg"};

    // Where a record starts.
    QTest::addRow("at line start") << crlf("Show #1|") + body << a << rowA << 0;
    QTest::addRow("bare marker") << crlf("Show #|") + body << a << rowA << 0;
    QTest::addRow("after header lines") << crlf("ReplayTV Guide Dump|Total shows: 1||Show #1|") + body << a << rowA
                                        << 0;
    QTest::addRow("LF line ends") << QString(crlf("Show #1|") + body).remove(u'\r') << a << rowA << 0;
    QTest::addRow("two records") << crlf("Show #1|") + body + crlf("Show #2|") + QString(body).replace("a.mpg", "b.mpg")
                                 << QStringList{"a.mpg", "b.mpg"} << rowA << 0;
    for (const char *marker : {"The Show #1", " Show #1", "show #1", "SHOW #1", "Show 1"})
        QTest::addRow("no record: %s", marker) << marker + crlf("|") + body << QStringList() << QString() << 0;
    QTest::addRow("no records") << body + body << QStringList() << QString() << 0;
    QTest::addRow("empty text") << QString() << QStringList() << QString() << 0;

    // How the fields are found.
    QTest::addRow("plain") << record(QStringLiteral("Title: T")) << whole << rowT << 0;
    QTest::addRow("demo record") << record(QStringLiteral("Title:Movie Part 1/2 (Repeat)")) << whole
                                 << "Movie Part 1/2                                            Standard      060"
                                    "         12/05/2003"
                                 << 0;
    QTest::addRow("indented field lines")
        << crlf("Show #1|Title: T|    Quality: Standard|\tRecorded: 12/05/2003|  Filename: f.mpg|   Duration: 060|")
        << f << rowT << 0;
    QTest::addRow("blank and unrelated lines between")
        << crlf("Show #1|Title: T||Category: Movies||Quality: Standard|Channel: 4|||Recorded: 12/05/2003|Noise|"
                "Filename: f.mpg|More noise||Duration: 060|")
        << f << rowT << 0;
    QTest::addRow("fields after commas on one line")
        << crlf("Show #1|Title: T|Category: Movies, Quality: Standard,Recorded: 12/05/2003|"
                "Channel: 5,  Filename: f.mpg, Duration: 060 min|")
        << f << rowT << 0;
    QTest::addRow("quote in quality shown as dash") << record("Title:Q", "Quality: Hi\"gh") << whole
                                                    << row("Q", "Hi - gh") << 0;
    QTest::addRow("marker later in a field is no match")
        << crlf("Show #1|Title: T|Note Quality: Low|Quality: Standard|Recorded: 12/05/2003|Filename: f.mpg|"
                "Duration: 060|")
        << f << rowT << 0;
    QTest::addRow("marker case matters")
        << crlf("Show #1|Title: T|quality: High|Quality: Standard|RECORDED: 01/01/2001|Recorded: 12/05/2003|"
                "Filename: f.mpg|Duration: 060|")
        << f << rowT << 0;
    QTest::addRow("title line is the quality field")
        << crlf("Show #1|Quality: High|Quality: Standard|Recorded: 12/05/2003|Filename: f.mpg|Duration: 060|") << f
        << row(QStringLiteral(" High"), kHigh) << 0;
    QTest::addRow("fields in order: earlier Duration passed over")
        << crlf("Show #1|Title: T|Duration: 999|Quality: Standard|Filename: x.mpg|Recorded: 12/05/2003|"
                "Filename: f.mpg|Duration: 060|")
        << f << rowT << 0;
    // The quality column: the value's first eight characters, padded by its first four.
    const QList<QPair<const char *, QString>> qualities{
        {"Quality: Standard", "Standard" + blanks(6)}, {"Quality: Medium", "Medium" + blanks(8)},
        {"Quality: High", "High" + blanks(10)},         {"Quality: Stan", "Stan" + blanks(6)},
        {"Quality: Highest quality", "Highest " + blanks(10)}, {"Quality: Mediocre", "Mediocre" + blanks(8)},
        {"Quality: Low", "Low"}, {"Quality: HIGH", "HIGH"}, {"Quality:High", "igh"}, {"Quality:", ""}};
    for (const auto &[field, column] : qualities)
        QTest::addRow("%s", field) << record(QStringLiteral("Title:T"), field) << whole << row("T", column) << 0;

    // Values from fixed places: date at 11 (10 long), file name at 11 (26), duration at 11 (3).
    const auto values = [](const char *recorded, const QString &filename, const char *duration) {
        return record(QStringLiteral("Title:T"), QStringLiteral("Quality: Low"), recorded, filename, duration);
    };
    QTest::addRow("file name cut at 26")
        << values("Recorded: 12/05/2003", "Filename: " + QString("abcdefghij").repeated(3), "Duration: 060")
        << QStringList{"abcdefghijabcdefghijabcdef"} << row("T", "Low") << 0;
    QTest::addRow("values shorter than their width") << values("Recorded: 1/5/03", "Filename: a", "Duration: 5")
                                                     << QStringList{"a"} << row("T", "Low", "5", "1/5/03") << 0;
    QTest::addRow("fields end before their values") << values("Recorded:", "Filename: ", "Duration:")
                                                    << QStringList{""} << row("T", "Low", "", "") << 0;
    QTest::addRow("no blank after colon shifts by one")
        << values("Recorded:12/05/2003", "Filename:f.mpg", "Duration:060") << QStringList{".mpg"}
        << row("T", "Low", "60", "2/05/2003") << 0;
    QTest::addRow("blank inside a value") << values("Recorded: 12/05/2003", "Filename: f g.mpg", "Duration: 1")
                                          << QStringList{"f g.mpg"} << row("T", "Low", "1") << 0;
    QTest::addRow("quote in duration") << values("Recorded: 12/05/2003", "Filename: q.mpg", "Duration: 0\"5")
                                       << QStringList{"q.mpg"} << row("T", "Low", "0 - 5") << 0;

    // Reading resumes after the Duration field's comma: the rest of its line starts a record.
    QTest::addRow("rest of Duration line is the next line")
        << crlf("Show #1|Title:A|Quality: High|Recorded: 01/01/2001|Filename: a.mpg|Duration: 030,Show #2|Title:B|"
                "Quality: High|Recorded: 02/02/2002|Filename: b.mpg|Duration: 045|")
        << QStringList{"a.mpg", "b.mpg"} << rowA << 0;
    // A scan runs on into the next record: record 1 takes record 2's file and duration.
    QTest::addRow("missing field pulls from next record")
        << crlf("Show #1|Title:First|Quality: High|Recorded: 01/01/2001|Duration: 011||Show #2|Title:Second|"
                "Quality: Medium|Recorded: 02/02/2002|Filename: second.mpg|Duration: 022||Show #3|Title:Third|"
                "Quality: Standard|Recorded: 03/03/2003|Filename: third.mpg|Duration: 033|")
        << QStringList{"second.mpg", "third.mpg"}
        << row(QStringLiteral("First"), kHigh, QStringLiteral("022"), QStringLiteral("01/01/2001")) << 0;

    // The text ends inside a record: it is dropped and counted.
    for (const char *tail : {"Show #2|", "Show #2", "Show #2|Title:Cut|", "Show #2|Title:Cut|Quality: High|",
                             "Show #2|Title:Cut|Quality: High|Recorded: 01/01/2001|",
                             "Show #2|Title:Cut|Quality: High|Recorded: 01/01/2001|Filename: cut.mpg|Channel: 4||",
                             "Show #2|Title:Cut|Quality: High|\"Recorded: 01/01/2001|Filename: cut.mpg"})
        QTest::addRow("cut off: %s", tail) << record(QStringLiteral("Title:Whole")) + crlf(tail) << whole
                                          << row(QStringLiteral("Whole"), kStandard) << 1;
}

void GuideParserTest::records()
{
    QFETCH(QString, text);
    QFETCH(QStringList, files);
    QFETCH(QString, firstRow);
    QFETCH(int, incomplete);
    // The whole text at once, and the file streamed in blocks so small that
    // line ends and fields are cut between them.
    QByteArray bytes = text.toUtf8();
    QBuffer file(&bytes);
    QVERIFY(file.open(QIODevice::ReadOnly));
    LineStream lines(file, LineStream::kDefaultCap, 3);
    for (const GuideParseResult &result : {parseGuide(text, 201), parseGuideLines(lines, 201)}) {
        QStringList names;
        for (const GuideEntry &entry : result.entries)
            names << entry.fileName;
        QCOMPARE(names, files);
        QCOMPARE(result.entries.isEmpty() ? QString() : result.entries.first().row, firstRow);
        QCOMPARE(result.incompleteRecords, incomplete);
        QCOMPARE(result.leftOut, 0);
    }
}

void GuideParserTest::titleRule_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("title");

    QTest::addRow("after first colon") << "Title:Frasier" << "Frasier";
    QTest::addRow("blank after colon kept, cut at parenthesis") << "Title: Nova (Repeat)" << " Nova ";
    QTest::addRow("first parenthesis only") << "Title:A (b) c (d)" << "A ";
    QTest::addRow("parenthesis at start") << "Title:(x)" << "";
    QTest::addRow("no colon: whole line") << "Plain Title Line" << "Plain Title Line";
    QTest::addRow("no colon, longer than 58") << QStringLiteral("0123456789").repeated(7)
                                              << QStringLiteral("0123456789").repeated(6).left(58);
    QTest::addRow("exactly 58") << "T:" + QString(58, u'x') << QString(58, u'x');
    QTest::addRow("empty after colon") << "Title:" << "";
    QTest::addRow("empty line") << "" << "";
    QTest::addRow("further colons become blanks") << "Title:Star Trek: The Next Generation"
                                                  << "Star Trek  The Next Generation";
    QTest::addRow("semicolon becomes blank") << "Title:Law & Order; SVU" << "Law & Order  SVU";
    QTest::addRow("double quote shown as dash") << "Title:The \"Best\" of SNL" << "The  - Best -  of SNL";
    QTest::addRow("quotes lengthen, then cut to 58") << "Title:" + QString(57, u'a') + "\"zzz"
                                                     << QString(57, u'a') + " ";
    QTest::addRow("quotes in the padding area") << "Title:" + QString(56, u'a') + "\"" << QString(56, u'a') + " -";
    QTest::addRow("huge line of quotes") << "Title:" + QString(10 * 1024 * 1024, u'"')
                                         << QStringLiteral(" - ").repeated(20).left(58);
    QTest::addRow("slashes and letters kept") << "Title:Movie Part 1/2 (Repeat)" << "Movie Part 1/2 ";
    QTest::addRow("non-ASCII letters") << "Title:Café Señor Müller" << "Café Señor Müller";
    QTest::addRow("commas are part of the title line") << "Title:One, Two" << "One, Two";
}

void GuideParserTest::titleRule()
{
    QFETCH(QString, line);
    QFETCH(QString, title);
    QCOMPARE(GuideRules::titleFromLine(line), title.leftJustified(58));
}

void GuideParserTest::dateKeptAsRead()
{
    // The table keeps the date as read; only the row shows quotes as dashes.
    const GuideParseResult result = parseGuide(record(QStringLiteral("Title:T"), QStringLiteral("Quality: Low"),
                                                      QStringLiteral("Recorded: 12\"05\"2003")), 201);
    QCOMPARE(result.entries.size(), 1);
    QCOMPARE(result.entries.at(0).recordDate, QStringLiteral("12\"05\"2003"));
    QCOMPARE(result.entries.at(0).row, row(QStringLiteral("T"), QStringLiteral("Low"), "060", "12 - 05 - 2003"));
}

void GuideParserTest::capacity_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("leftOut");

    QTest::addRow("201") << 201 << 201 << 0;
    QTest::addRow("202") << 202 << 201 << 1;
}

void GuideParserTest::capacity()
{
    QFETCH(int, records);
    QFETCH(int, kept);
    QFETCH(int, leftOut);

    QString text = QStringLiteral("Header\r\n\r\n");
    for (int n = 0; n < records; ++n)
        text += record(QStringLiteral("Title:Show %1").arg(n), QStringLiteral("Quality: High"),
                       QStringLiteral("Recorded: 01/02/2003 04:05:06"), QStringLiteral("Filename: %1.mpg").arg(n));
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(result.entries.size(), kept);
    QCOMPARE(result.leftOut, leftOut);
    QCOMPARE(result.incompleteRecords, 0);
    QCOMPARE(result.entries.first().fileName, QStringLiteral("0.mpg"));
    QCOMPARE(result.entries.last().fileName, QStringLiteral("%1.mpg").arg(kept - 1));
}

void GuideParserTest::fileStat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size");
    QTest::addColumn<FileStatReading::Problem>("problem");

    using P = FileStatReading::Problem;
    QTest::addRow("helper's form") << "FileStat,Size=3145731,Name=1070683200.mpg\r\n" << 3145731.0 << P::None;
    QTest::addRow("beyond 32 bits") << "FileStat,Size=99999999999\r\n" << 99999999999.0 << P::None;
    QTest::addRow("any five characters") << "x,ABCDE42" << 42.0 << P::None;
    // Nothing a download could be checked against: told as not measured.
    QTest::addRow("exactly five characters") << "FileStat,Size=" << 0.0 << P::NoSize;
    QTest::addRow("size 0") << "FileStat,Size=0,Name=x.mpg" << 0.0 << P::NoSize;
    QTest::addRow("no number") << "FileStat,Size=abc" << 0.0 << P::NoSize;
    QTest::addRow("one field") << "FileStat\r\n" << 0.0 << P::TooFewFields;
    QTest::addRow("empty file") << "" << 0.0 << P::TooFewFields;
    QTest::addRow("second field too short") << "FileStat,Sz\r\n" << 0.0 << P::SecondFieldTooShort;
    QTest::addRow("second field empty") << "FileStat,,Size=5" << 0.0 << P::SecondFieldTooShort;
    QTest::addRow("negative") << "FileStat,Size=-5" << 0.0 << P::SizeOutOfRange;
    QTest::addRow("beyond an exact byte count") << "FileStat,Size=99999999999999999999" << 0.0 << P::SizeOutOfRange;
    QTest::addRow("beyond a double") << "FileStat,Size=" + QString(400, u'9') << 0.0 << P::SizeOutOfRange;
}

void GuideParserTest::fileStat()
{
    QFETCH(QString, text);
    QFETCH(double, size);
    QFETCH(FileStatReading::Problem, problem);
    const FileStatReading reading = readFileStat(text);
    QCOMPARE(reading.size, size);
    QCOMPARE(reading.problem, problem);
}

void GuideParserTest::messages()
{
    const QString more = "The guide lists more recordings than the list can hold: the first 201 are shown, ";
    const QString cut = "The guide ends in the middle of a recording's entry; that recording is not in the list.";
    QCOMPARE(GuideMessages::guideShortfall(0, 0, 201), QString());
    QCOMPARE(GuideMessages::guideShortfall(0, 1, 201), more + QStringLiteral("1 more is left out."));
    QCOMPARE(GuideMessages::guideShortfall(0, 9799, 201), more + QStringLiteral("9799 more are left out."));
    QCOMPARE(GuideMessages::guideShortfall(1, 0, 201), cut);
    QCOMPARE(GuideMessages::guideShortfall(1, 2, 201), more + QStringLiteral("2 more are left out.\n\n") + cut);

    const QStringList titles{GuideMessages::titleForMessage(QStringLiteral(" Nova ").leftJustified(58), "1.mpg"),
                             GuideMessages::titleForMessage(blanks(58), "2.mpg")};
    QCOMPARE(titles, (QStringList{"Nova (1.mpg)", " (2.mpg)"}));
    QCOMPARE(GuideMessages::titlesNotMeasured(titles),
             QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so they count as 0 "
                            "bytes in the total:\n\nNova (1.mpg)\n (2.mpg)\n\nClick the list to measure again."));
    QCOMPARE(GuideMessages::titlesNotMeasured({}), QString());
}

QTEST_GUILESS_MAIN(GuideParserTest)
#include "tst_guide_parser.moc"
