// The guide dump parser and the rules that turn a record into a title and a row.
#include "guide/FileStatReader.h"
#include "guide/GuideMessages.h"
#include "guide/GuideParser.h"
#include "guide/GuideRules.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString blanks(int n)
{
    return QString(n, u' ');
}

// One record as the recorder's dump writes it, with the extra lines around
// the four fields the parser looks for.
QString record(const QString &titleLine, const QString &quality = QStringLiteral("Quality: Standard"),
               const QString &recorded = QStringLiteral("Recorded: 12/05/2003 20:00:00"),
               const QString &filename = QStringLiteral("Filename: 1070683200.mpg"),
               const QString &duration = QStringLiteral("Duration: 060 min"))
{
    return QStringLiteral("Show #1") + kCrLf + titleLine + kCrLf + QStringLiteral("Category: Movies") + kCrLf
           + quality + kCrLf + recorded + kCrLf + QStringLiteral("Channel: 5 KTVU") + kCrLf + filename + kCrLf
           + duration + kCrLf + QStringLiteral("Description: words, with a comma") + kCrLf + kCrLf;
}

QString numberedRecord(int n)
{
    return record(QStringLiteral("Title:Show %1").arg(n), QStringLiteral("Quality: High"),
                  QStringLiteral("Recorded: 01/02/2003 04:05:06"), QStringLiteral("Filename: %1.mpg").arg(n));
}

QStringList fileNames(const GuideParseResult &result)
{
    QStringList names;
    for (const GuideEntry &entry : result.entries)
        names << entry.fileName;
    return names;
}

} // namespace

class GuideParserTest : public QObject
{
    Q_OBJECT

private slots:
    void recordStart_data();
    void recordStart();
    void scans_data();
    void scans();
    void durationLineRestIsNextLine();
    void titleRule_data();
    void titleRule();
    void qualityPadding_data();
    void qualityPadding();
    void fieldValues_data();
    void fieldValues();
    void rowLayout_data();
    void rowLayout();
    void columnsLineUp();
    void missingFieldPullsFromNextRecord();
    void endInsideRecord_data();
    void endInsideRecord();
    void capacity_data();
    void capacity();
    void anyInputIsSafe();
    void fileStat_data();
    void fileStat();
    void shortfallMessage_data();
    void shortfallMessage();
    void notMeasuredMessage();
};

void GuideParserTest::recordStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("files");

    const QString body = QStringLiteral("Title:A") + kCrLf + QStringLiteral("Quality: High") + kCrLf
                         + QStringLiteral("Recorded: 01/01/2001") + kCrLf + QStringLiteral("Filename: a.mpg")
                         + kCrLf + QStringLiteral("Duration: 030") + kCrLf;

    QTest::addRow("at line start") << QStringLiteral("Show #1") + kCrLf + body << QStringList{"a.mpg"};
    QTest::addRow("bare marker") << QStringLiteral("Show #") + kCrLf + body << QStringList{"a.mpg"};
    QTest::addRow("after header lines")
        << QStringLiteral("ReplayTV Guide Dump\r\nTotal shows: 1\r\n\r\nShow #1\r\n") + body << QStringList{"a.mpg"};
    QTest::addRow("LF line ends") << QString(QStringLiteral("Show #1") + kCrLf + body).remove(u'\r')
                                  << QStringList{"a.mpg"};
    QTest::addRow("later in line") << QStringLiteral("The Show #1") + kCrLf + body << QStringList{};
    QTest::addRow("indented") << QStringLiteral(" Show #1") + kCrLf + body << QStringList{};
    QTest::addRow("lower case") << QStringLiteral("show #1") + kCrLf + body << QStringList{};
    QTest::addRow("upper case") << QStringLiteral("SHOW #1") + kCrLf + body << QStringList{};
    QTest::addRow("no hash") << QStringLiteral("Show 1") + kCrLf + body << QStringList{};
    QTest::addRow("no records") << body + body << QStringList{};
    QTest::addRow("empty text") << QString() << QStringList{};
    QTest::addRow("two records")
        << QStringLiteral("Show #1") + kCrLf + body + QStringLiteral("Show #2") + kCrLf
               + QString(body).replace(QStringLiteral("a.mpg"), QStringLiteral("b.mpg"))
        << QStringList{"a.mpg", "b.mpg"};
}

void GuideParserTest::recordStart()
{
    QFETCH(QString, text);
    QFETCH(QStringList, files);
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(fileNames(result), files);
    QCOMPARE(result.incompleteRecords, 0);
    QCOMPARE(result.leftOut, 0);
}

void GuideParserTest::scans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("fileName");

    const QString title = QStringLiteral(" T") + blanks(56);
    const QString standardRow = title + QStringLiteral("Standard") + blanks(6) + QStringLiteral("060") + blanks(9)
                                + QStringLiteral("12/05/2003");

    QTest::addRow("plain") << record(QStringLiteral("Title: T")) << standardRow << QStringLiteral("1070683200.mpg");
    QTest::addRow("indented field lines")
        << record(QStringLiteral("Title: T"), QStringLiteral("    Quality: Standard"),
                  QStringLiteral("\tRecorded: 12/05/2003 20:00:00"), QStringLiteral("  Filename: 1070683200.mpg"),
                  QStringLiteral("   Duration: 060 min"))
        << standardRow << QStringLiteral("1070683200.mpg");
    QTest::addRow("blank and unrelated lines between")
        << QStringLiteral("Show #1\r\nTitle: T\r\n\r\nCategory: Movies\r\n\r\nQuality: Standard\r\nChannel: 4\r\n"
                          "\r\n\r\nRecorded: 12/05/2003\r\nNoise\r\nFilename: f.mpg\r\nMore noise\r\n\r\n"
                          "Duration: 060\r\n")
        << standardRow << QStringLiteral("f.mpg");
    QTest::addRow("fields after commas on one line")
        << QStringLiteral("Show #1\r\nTitle: T\r\nCategory: Movies, Quality: Standard,Recorded: 12/05/2003"
                          "\r\nChannel: 5,  Filename: f.mpg, Duration: 060 min\r\n")
        << standardRow << QStringLiteral("f.mpg");
    QTest::addRow("comma ends the value")
        << record(QStringLiteral("Title: T"), QStringLiteral("Quality: Stan,dard"))
        << title + QStringLiteral("Stan") + blanks(6) + QStringLiteral("060") + blanks(9) + QStringLiteral("12/05/2003")
        << QStringLiteral("1070683200.mpg");
    QTest::addRow("quoted field keeps its commas")
        << record(QStringLiteral("Title: T"), QStringLiteral("\"Quality: Medium, fine\" ignored"))
        << title + QStringLiteral("Medium, ") + blanks(8) + QStringLiteral("060") + blanks(9)
               + QStringLiteral("12/05/2003")
        << QStringLiteral("1070683200.mpg");
    QTest::addRow("marker later in a field is no match")
        << QStringLiteral("Show #1\r\nTitle: T\r\nNote Quality: Low\r\nQuality: Standard\r\nRecorded: 12/05/2003\r\n"
                          "Filename: f.mpg\r\nDuration: 060\r\n")
        << standardRow << QStringLiteral("f.mpg");
    QTest::addRow("marker case matters")
        << QStringLiteral("Show #1\r\nTitle: T\r\nquality: High\r\nQuality: Standard\r\nRECORDED: 01/01/2001\r\n"
                          "Recorded: 12/05/2003\r\nFilename: f.mpg\r\nDuration: 060\r\n")
        << standardRow << QStringLiteral("f.mpg");
    // The quality scan starts with the title line itself.
    QTest::addRow("title line is the quality field")
        << QStringLiteral("Show #1\r\nQuality: High\r\nQuality: Standard\r\nRecorded: 12/05/2003\r\n"
                          "Filename: f.mpg\r\nDuration: 060\r\n")
        << QStringLiteral(" High") + blanks(53) + QStringLiteral("High") + blanks(10) + QStringLiteral("060")
               + blanks(9) + QStringLiteral("12/05/2003")
        << QStringLiteral("f.mpg");
    // Fields come in order: a "Duration:" before "Quality:" is passed over.
    QTest::addRow("fields out of order")
        << QStringLiteral("Show #1\r\nTitle: T\r\nDuration: 999\r\nQuality: Standard\r\nFilename: x.mpg\r\n"
                          "Recorded: 12/05/2003\r\nFilename: f.mpg\r\nDuration: 060\r\n")
        << standardRow << QStringLiteral("f.mpg");
}

void GuideParserTest::scans()
{
    QFETCH(QString, text);
    QFETCH(QString, row);
    QFETCH(QString, fileName);
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(result.entries.size(), 1);
    QCOMPARE(result.entries.at(0).row, row);
    QCOMPARE(result.entries.at(0).fileName, fileName);
    QCOMPARE(result.incompleteRecords, 0);
}

void GuideParserTest::durationLineRestIsNextLine()
{
    // After the "Duration:" field, line reading resumes after its comma: the
    // rest of that line is the next line read, here the start of a record.
    const QString text = QStringLiteral("Show #1\r\nTitle:A\r\nQuality: High\r\nRecorded: 01/01/2001\r\n"
                                        "Filename: a.mpg\r\nDuration: 030,Show #2\r\nTitle:B\r\nQuality: High\r\n"
                                        "Recorded: 02/02/2002\r\nFilename: b.mpg\r\nDuration: 045\r\n");
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(fileNames(result), (QStringList{"a.mpg", "b.mpg"}));
    QCOMPARE(result.entries.at(1).title, QStringLiteral("B") + blanks(57));
}

void GuideParserTest::titleRule_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("title");

    QTest::addRow("after first colon") << QStringLiteral("Title:Frasier") << QStringLiteral("Frasier") + blanks(51);
    QTest::addRow("blank after colon kept, cut at parenthesis")
        << QStringLiteral("Title: Nova (Repeat)") << QStringLiteral(" Nova ") + blanks(52);
    QTest::addRow("first parenthesis only")
        << QStringLiteral("Title:A (b) c (d)") << QStringLiteral("A ") + blanks(56);
    QTest::addRow("parenthesis at start") << QStringLiteral("Title:(x)") << blanks(58);
    QTest::addRow("no colon: whole line")
        << QStringLiteral("Plain Title Line") << QStringLiteral("Plain Title Line") + blanks(42);
    QTest::addRow("no colon, longer than 58")
        << QStringLiteral("0123456789").repeated(7) << QStringLiteral("0123456789").repeated(6).left(58);
    QTest::addRow("exactly 58") << QStringLiteral("T:") + QString(58, u'x') << QString(58, u'x');
    QTest::addRow("empty after colon") << QStringLiteral("Title:") << blanks(58);
    QTest::addRow("empty line") << QString() << blanks(58);
    QTest::addRow("further colons become blanks")
        << QStringLiteral("Title:Star Trek: The Next Generation")
        << QStringLiteral("Star Trek  The Next Generation") + blanks(28);
    QTest::addRow("semicolon becomes blank")
        << QStringLiteral("Title:Law & Order; SVU") << QStringLiteral("Law & Order  SVU") + blanks(42);
    QTest::addRow("double quote shown as dash")
        << QStringLiteral("Title:The \"Best\" of SNL")
        << QStringLiteral("The  - Best -  of SNL") + blanks(37);
    QTest::addRow("quotes lengthen, then cut to 58")
        << QStringLiteral("Title:") + QString(57, u'a') + QStringLiteral("\"zzz")
        << QString(57, u'a') + QStringLiteral(" ");
    QTest::addRow("quotes in the padding area")
        << QStringLiteral("Title:") + QString(56, u'a') + QStringLiteral("\"")
        << QString(56, u'a') + QStringLiteral(" -");
    QTest::addRow("slashes and letters kept")
        << QStringLiteral("Title:Movie Part 1/2 (Repeat)") << QStringLiteral("Movie Part 1/2 ") + blanks(43);
    QTest::addRow("non-ASCII letters")
        << QStringLiteral("Title:Café Señor Müller") << QStringLiteral("Café Señor Müller") + blanks(41);
    QTest::addRow("commas are part of the title line")
        << QStringLiteral("Title:One, Two") << QStringLiteral("One, Two") + blanks(50);
}

void GuideParserTest::titleRule()
{
    QFETCH(QString, line);
    QFETCH(QString, title);
    QCOMPARE(GuideRules::titleFromLine(line), title);
    QCOMPARE(GuideRules::titleFromLine(line).size(), 58);

    // The same title through the whole parse.
    const GuideParseResult result = parseGuide(record(line), 201);
    QCOMPARE(result.entries.size(), 1);
    QCOMPARE(result.entries.at(0).title, title);
}

void GuideParserTest::qualityPadding_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("column");

    QTest::addRow("Standard") << QStringLiteral("Quality: Standard") << QStringLiteral("Standard") + blanks(6);
    QTest::addRow("Medium") << QStringLiteral("Quality: Medium") << QStringLiteral("Medium") + blanks(8);
    QTest::addRow("High") << QStringLiteral("Quality: High") << QStringLiteral("High") + blanks(10);
    QTest::addRow("Stan, short value") << QStringLiteral("Quality: Stan") << QStringLiteral("Stan") + blanks(6);
    QTest::addRow("High, long value cut to 8")
        << QStringLiteral("Quality: Highest quality") << QStringLiteral("Highest ") + blanks(10);
    QTest::addRow("Mediocre by first four") << QStringLiteral("Quality: Mediocre") << QStringLiteral("Mediocre") + blanks(8);
    QTest::addRow("unknown value, no padding") << QStringLiteral("Quality: Low") << QStringLiteral("Low");
    QTest::addRow("case matters") << QStringLiteral("Quality: HIGH") << QStringLiteral("HIGH");
    QTest::addRow("no blank after colon") << QStringLiteral("Quality:High") << QStringLiteral("igh");
    QTest::addRow("field ends before value") << QStringLiteral("Quality:") << QString();
}

void GuideParserTest::qualityPadding()
{
    QFETCH(QString, field);
    QFETCH(QString, column);
    QCOMPARE(GuideRules::qualityColumn(field), column);

    const GuideParseResult result = parseGuide(record(QStringLiteral("Title:T"), field), 201);
    QCOMPARE(result.entries.size(), 1);
    QCOMPARE(result.entries.at(0).row,
             QStringLiteral("T") + blanks(57) + column + QStringLiteral("060") + blanks(9) + QStringLiteral("12/05/2003"));
}

void GuideParserTest::fieldValues_data()
{
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<QString>("filename");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("minutes");

    QTest::addRow("usual") << QStringLiteral("Recorded: 12/05/2003 20:00:00") << QStringLiteral("Filename: 1070683200.mpg")
                           << QStringLiteral("Duration: 060 min") << QStringLiteral("12/05/2003")
                           << QStringLiteral("1070683200.mpg") << QStringLiteral("060");
    QTest::addRow("file name cut at 26")
        << QStringLiteral("Recorded: 12/05/2003") << QStringLiteral("Filename: ") + QStringLiteral("abcdefghij").repeated(3)
        << QStringLiteral("Duration: 060") << QStringLiteral("12/05/2003")
        << QStringLiteral("abcdefghijabcdefghijabcdef") << QStringLiteral("060");
    QTest::addRow("values shorter than their width")
        << QStringLiteral("Recorded: 1/5/03") << QStringLiteral("Filename: a") << QStringLiteral("Duration: 5")
        << QStringLiteral("1/5/03") << QStringLiteral("a") << QStringLiteral("5");
    QTest::addRow("fields end before their values")
        << QStringLiteral("Recorded:") << QStringLiteral("Filename: ") << QStringLiteral("Duration:") << QString()
        << QString() << QString();
    QTest::addRow("no blank after colon shifts by one")
        << QStringLiteral("Recorded:12/05/2003") << QStringLiteral("Filename:f.mpg") << QStringLiteral("Duration:060")
        << QStringLiteral("2/05/2003") << QStringLiteral(".mpg") << QStringLiteral("60");
    QTest::addRow("blank inside a value")
        << QStringLiteral("Recorded: 12/05/2003") << QStringLiteral("Filename: f g.mpg")
        << QStringLiteral("Duration: 1") << QStringLiteral("12/05/2003") << QStringLiteral("f g.mpg")
        << QStringLiteral("1");
}

void GuideParserTest::fieldValues()
{
    QFETCH(QString, recorded);
    QFETCH(QString, filename);
    QFETCH(QString, duration);
    QFETCH(QString, date);
    QFETCH(QString, file);
    QFETCH(QString, minutes);

    const GuideParseResult result =
        parseGuide(record(QStringLiteral("Title:T"), QStringLiteral("Quality: Low"), recorded, filename, duration), 201);
    QCOMPARE(result.entries.size(), 1);
    const GuideEntry &entry = result.entries.at(0);
    QCOMPARE(entry.recordDate, date);
    QCOMPARE(entry.fileName, file);
    QCOMPARE(entry.row, QStringLiteral("T") + blanks(57) + QStringLiteral("Low") + minutes + blanks(9) + date);
}

void GuideParserTest::rowLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("date");

    QTest::addRow("demo record")
        << record(QStringLiteral("Title:Movie Part 1/2 (Repeat)"))
        << QStringLiteral("Movie Part 1/2                                            Standard      060         "
                          "12/05/2003")
        << QStringLiteral("12/05/2003");
    QTest::addRow("quote in date and duration")
        << record(QStringLiteral("Title:Q"), QStringLiteral("Quality: High"), QStringLiteral("Recorded: 12\"05\"2003"),
                  QStringLiteral("Filename: q.mpg"), QStringLiteral("Duration: 0\"5"))
        << QStringLiteral("Q") + blanks(57) + QStringLiteral("High") + blanks(10) + QStringLiteral("0 - 5") + blanks(9)
               + QStringLiteral("12 - 05 - 2003")
        << QStringLiteral("12\"05\"2003");
    QTest::addRow("quote in quality value")
        << record(QStringLiteral("Title:Q"), QStringLiteral("Quality: Hi\"gh"))
        << QStringLiteral("Q") + blanks(57) + QStringLiteral("Hi - gh") + QStringLiteral("060") + blanks(9)
               + QStringLiteral("12/05/2003")
        << QStringLiteral("12/05/2003");
}

void GuideParserTest::rowLayout()
{
    QFETCH(QString, text);
    QFETCH(QString, row);
    QFETCH(QString, date);
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(result.entries.size(), 1);
    QCOMPARE(result.entries.at(0).row, row);
    // The table keeps the date as read; only the row shows quotes as dashes.
    QCOMPARE(result.entries.at(0).recordDate, date);
}

void GuideParserTest::columnsLineUp()
{
    const QString text = record(QStringLiteral("Title:A"), QStringLiteral("Quality: Standard"))
                         + record(QStringLiteral("Title:B"), QStringLiteral("Quality: Medium"))
                         + record(QStringLiteral("Title:C"), QStringLiteral("Quality: High"));
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(result.entries.size(), 3);
    for (const GuideEntry &entry : result.entries) {
        QCOMPARE(entry.row.size(), 94);
        QCOMPARE(entry.row.mid(72, 3), QStringLiteral("060"));
        QCOMPARE(entry.row.mid(84), QStringLiteral("12/05/2003"));
    }
}

void GuideParserTest::missingFieldPullsFromNextRecord()
{
    // Record 1 has no "Filename:": the scan runs on through record 2, takes its
    // file name and duration, and record 2 is lost. Record 3 is read as usual.
    const QString text = QStringLiteral("Show #1\r\nTitle:First\r\nQuality: High\r\nRecorded: 01/01/2001\r\n"
                                        "Duration: 011\r\n\r\n")
                         + QStringLiteral("Show #2\r\nTitle:Second\r\nQuality: Medium\r\nRecorded: 02/02/2002\r\n"
                                          "Filename: second.mpg\r\nDuration: 022\r\n\r\n")
                         + QStringLiteral("Show #3\r\nTitle:Third\r\nQuality: Standard\r\nRecorded: 03/03/2003\r\n"
                                          "Filename: third.mpg\r\nDuration: 033\r\n");
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(fileNames(result), (QStringList{"second.mpg", "third.mpg"}));
    const GuideEntry &first = result.entries.at(0);
    QCOMPARE(first.title, QStringLiteral("First") + blanks(53));
    QCOMPARE(first.recordDate, QStringLiteral("01/01/2001"));
    QCOMPARE(first.row, QStringLiteral("First") + blanks(53) + QStringLiteral("High") + blanks(10)
                            + QStringLiteral("022") + blanks(9) + QStringLiteral("01/01/2001"));
    QCOMPARE(result.entries.at(1).title, QStringLiteral("Third") + blanks(53));
    QCOMPARE(result.incompleteRecords, 0);
}

void GuideParserTest::endInsideRecord_data()
{
    QTest::addColumn<QString>("tail");

    QTest::addRow("after Show line") << QStringLiteral("Show #2\r\n");
    QTest::addRow("Show line without line end") << QStringLiteral("Show #2");
    QTest::addRow("after title line") << QStringLiteral("Show #2\r\nTitle:Cut\r\n");
    QTest::addRow("before Recorded") << QStringLiteral("Show #2\r\nTitle:Cut\r\nQuality: High\r\n");
    QTest::addRow("before Filename")
        << QStringLiteral("Show #2\r\nTitle:Cut\r\nQuality: High\r\nRecorded: 01/01/2001\r\n");
    QTest::addRow("before Duration")
        << QStringLiteral("Show #2\r\nTitle:Cut\r\nQuality: High\r\nRecorded: 01/01/2001\r\nFilename: cut.mpg\r\n"
                          "Channel: 4\r\n\r\n");
    QTest::addRow("inside an open quote")
        << QStringLiteral("Show #2\r\nTitle:Cut\r\n\"Quality: High\r\nRecorded: 01/01/2001\r\nFilename: cut.mpg\r\n"
                          "Duration: 030\r\n");
}

void GuideParserTest::endInsideRecord()
{
    QFETCH(QString, tail);
    const GuideParseResult result = parseGuide(record(QStringLiteral("Title:Whole")) + tail, 201);
    QCOMPARE(fileNames(result), QStringList{"1070683200.mpg"});
    QCOMPARE(result.incompleteRecords, 1);
    QCOMPARE(result.leftOut, 0);
}

void GuideParserTest::capacity_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("leftOut");

    QTest::addRow("200") << 200 << 200 << 0;
    QTest::addRow("201") << 201 << 201 << 0;
    QTest::addRow("202") << 202 << 201 << 1;
    QTest::addRow("10000") << 10000 << 201 << 9799;
}

void GuideParserTest::capacity()
{
    QFETCH(int, records);
    QFETCH(int, kept);
    QFETCH(int, leftOut);

    QString text = QStringLiteral("Header\r\n\r\n");
    for (int n = 0; n < records; ++n)
        text += numberedRecord(n);
    const GuideParseResult result = parseGuide(text, 201);
    QCOMPARE(result.entries.size(), kept);
    QCOMPARE(result.leftOut, leftOut);
    QCOMPARE(result.incompleteRecords, 0);
    QCOMPARE(result.entries.first().fileName, QStringLiteral("0.mpg"));
    QCOMPARE(result.entries.last().fileName, QStringLiteral("%1.mpg").arg(kept - 1));
}

void GuideParserTest::anyInputIsSafe()
{
    // Random characters, lines and fields of every kind, and one huge line:
    // the parse ends and every entry it keeps is well formed.
    QRandomGenerator random(20031205);
    const QString alphabet = QStringLiteral("Show #QualityRecordedFilenameDuration:,\"( );\r\n\tx");
    for (int round = 0; round < 50; ++round) {
        QString text;
        const int length = int(random.bounded(20000));
        text.reserve(length);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(int(random.bounded(alphabet.size())));
        const GuideParseResult result = parseGuide(text, 201);
        QVERIFY(result.entries.size() <= 201);
        QVERIFY(result.incompleteRecords <= 1);
        for (const GuideEntry &entry : result.entries) {
            QCOMPARE(entry.title.size(), 58);
            QVERIFY(entry.recordDate.size() <= 10);
            QVERIFY(entry.fileName.size() <= 26);
        }
    }

    const QString huge = QStringLiteral("Show #1\r\nTitle:") + QString(10 * 1024 * 1024, u'"') + kCrLf
                         + QStringLiteral("Quality: High\r\nRecorded: 01/01/2001\r\nFilename: big.mpg\r\nDuration: 1\r\n");
    const GuideParseResult big = parseGuide(huge, 201);
    QCOMPARE(fileNames(big), QStringList{"big.mpg"});
    QCOMPARE(big.entries.at(0).title, QStringLiteral(" - ").repeated(20).left(58));
}

void GuideParserTest::fileStat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("problem");

    const int none = int(FileStatReading::Problem::None);
    const int tooFew = int(FileStatReading::Problem::TooFewFields);
    const int tooShort = int(FileStatReading::Problem::SecondFieldTooShort);

    QTest::addRow("helper's form") << QStringLiteral("FileStat,Size=3145731,Name=1070683200.mpg\r\n") << 3145731.0 << none;
    QTest::addRow("beyond 32 bits") << QStringLiteral("FileStat,Size=99999999999\r\n") << 99999999999.0 << none;
    QTest::addRow("any five characters") << QStringLiteral("x,ABCDE42") << 42.0 << none;
    QTest::addRow("blank before field skipped") << QStringLiteral("FileStat,  Size=42") << 42.0 << none;
    QTest::addRow("blanks in number ignored") << QStringLiteral("FileStat,Size=1 234 MB") << 1234.0 << none;
    QTest::addRow("comma ends the field") << QStringLiteral("FileStat,Size=1,234,567") << 1.0 << none;
    QTest::addRow("quoted, thousands separator ends number")
        << QStringLiteral("FileStat,\"Size=1,234,567\"") << 1.0 << none;
    QTest::addRow("second field on next line") << QStringLiteral("FileStat\r\nSize=77\r\n") << 77.0 << none;
    QTest::addRow("exactly five characters") << QStringLiteral("FileStat,Size=") << 0.0 << none;
    QTest::addRow("no number") << QStringLiteral("FileStat,Size=abc") << 0.0 << none;
    QTest::addRow("one field") << QStringLiteral("FileStat\r\n") << 0.0 << tooFew;
    QTest::addRow("empty file") << QString() << 0.0 << tooFew;
    QTest::addRow("second field too short") << QStringLiteral("FileStat,Sz\r\n") << 0.0 << tooShort;
    QTest::addRow("second field empty") << QStringLiteral("FileStat,,Size=5") << 0.0 << tooShort;
}

void GuideParserTest::fileStat()
{
    QFETCH(QString, text);
    QFETCH(double, size);
    QFETCH(int, problem);
    const FileStatReading reading = readFileStat(text);
    QCOMPARE(reading.size, size);
    QCOMPARE(int(reading.problem), problem);
    QCOMPARE(reading.ok(), problem == int(FileStatReading::Problem::None));
}

void GuideParserTest::shortfallMessage_data()
{
    QTest::addColumn<int>("incomplete");
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<QString>("message");

    const QString more = QStringLiteral("The guide lists more recordings than the list can hold: the first 201 are shown, ");
    const QString cut =
        QStringLiteral("The guide ends in the middle of a recording's entry; that recording is not in the list.");
    QTest::addRow("nothing missing") << 0 << 0 << QString();
    QTest::addRow("one left out") << 0 << 1 << more + QStringLiteral("1 more is left out.");
    QTest::addRow("many left out") << 0 << 9799 << more + QStringLiteral("9799 more are left out.");
    QTest::addRow("cut off") << 1 << 0 << cut;
    QTest::addRow("both") << 1 << 2 << more + QStringLiteral("2 more are left out.\n\n") + cut;
}

void GuideParserTest::shortfallMessage()
{
    QFETCH(int, incomplete);
    QFETCH(int, leftOut);
    QFETCH(QString, message);
    QCOMPARE(GuideMessages::guideShortfall(incomplete, leftOut, 201), message);
}

void GuideParserTest::notMeasuredMessage()
{
    const QStringList titles{GuideMessages::titleForMessage(QStringLiteral(" Nova ") + blanks(52), QStringLiteral("1.mpg")),
                             GuideMessages::titleForMessage(blanks(58), QStringLiteral("2.mpg"))};
    QCOMPARE(titles, (QStringList{"Nova (1.mpg)", " (2.mpg)"}));
    QCOMPARE(GuideMessages::titlesNotMeasured(titles),
             QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so they count as 0 "
                            "bytes in the total:\n\nNova (1.mpg)\n (2.mpg)\n\nClick the list to measure again."));
    QCOMPARE(GuideMessages::titlesNotMeasured({}), QString());
}

QTEST_GUILESS_MAIN(GuideParserTest)
#include "tst_guide_parser.moc"
