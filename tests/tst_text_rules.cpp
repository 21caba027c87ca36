// The text rules of the core: the guide and what a record becomes, save names,
// numbers, the codec, the field reader, progress words, the messages, and the
// lines written to the log and the settings file.
#include "archive/DiskSpace.h"
#include "common/Contrast.h"
#include "common/FieldReader.h"
#include "common/LeadingNumber.h"
#include "common/LineStream.h"
#include "common/NumberMask.h"
#include "common/TextCodec.h"
#include "download/SaveName.h"
#include "download/SessionReport.h"
#include "download/TitleTransfer.h"
#include "guide/FileStatReader.h"
#include "guide/GuideFile.h"
#include "guide/GuideMessages.h"
#include "guide/GuideParser.h"
#include "guide/GuideRules.h"
#include "log/LogRecords.h"
#include "progress/ProgressText.h"
#include "settings/SettingsFile.h"

#include <QtTest>

namespace {

// "|" stands for CR LF, to keep the rows readable.
QString crlf(const QString &lines)
{
    return QString(lines).replace(u'|', QStringLiteral("\r\n"));
}

// One record as the recorder's dump writes it, with lines around its fields.
QString record(const QString &titleLine, const QString &quality = "Quality: Standard",
               const QString &recorded = "Recorded: 12/05/2003 20:00:00",
               const QString &filename = "Filename: 1070683200.mpg", const QString &duration = "Duration: 060 min")
{
    return crlf("Show #1|" + titleLine + "|Category: Movies|" + quality + '|' + recorded + "|Channel: 5 KTVU|"
                + filename + '|' + duration + "|Description: words, with a comma||");
}

QString row(const QString &title, const QString &quality, const QString &minutes = "060",
            const QString &date = "12/05/2003")
{
    return title.leftJustified(58) + quality + minutes + QString(9, u' ') + date;
}

} // namespace

class TestTextRules : public QObject
{
    Q_OBJECT

private slots:
    void guide_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<int>("incomplete");
        QTest::addColumn<int>("leftOut"); // the list holds two

        const QString body = crlf("Title:A|Quality: High|Recorded: 01/01/2001|Filename: a.mpg|Duration: 030|");
        const QString high = "High" + QString(10, u' '), standard = "Standard" + QString(6, u' ');
        const QString rowA = row("A", high, "030", "01/01/2001"), rowT = row(" T", standard);
        const QStringList a{"a.mpg"}, f{"f.mpg"}, whole{"1070683200.mpg"};
        auto named = [&body](const char *file) { return crlf("Show #9|") + QString(body).replace("a.mpg", file); };

        // Where a record starts.
        QTest::addRow("at line start") << crlf("Show #1|") + body << a << rowA << 0 << 0;
        QTest::addRow("bare marker") << crlf("Show #|") + body << a << rowA << 0 << 0;
        QTest::addRow("after header lines, LF line ends")
            << crlf("ReplayTV Guide Dump|Total shows: 1||Show #1|" + body).remove(u'\r') << a << rowA << 0 << 0;
        QTest::addRow("more than the list holds")
            << named("a.mpg") + named("b.mpg") + named("c.mpg") << QStringList{"a.mpg", "b.mpg"} << rowA << 0 << 1;
        for (const char *marker : {"The Show #1", " Show #1", "show #1", "Show 1"})
            QTest::addRow("no record: %s", marker) << marker + crlf("|") + body << QStringList() << "" << 0 << 0;
        QTest::addRow("empty text") << "" << QStringList() << "" << 0 << 0;

        // How the fields are found.
        QTest::addRow("plain") << record("Title: T") << whole << rowT << 0 << 0;
        QTest::addRow("indented, blank and unrelated lines between")
            << crlf("Show #1|Title: T||Category: Movies|| Quality: Standard|Channel: 4|||\tRecorded: 12/05/2003|"
                    "Noise|  Filename: f.mpg|More noise||   Duration: 060|")
            << f << rowT << 0 << 0;
        QTest::addRow("fields after commas on one line")
            << crlf("Show #1|Title: T|Category: Movies, Quality: Standard,Recorded: 12/05/2003|"
                    "Channel: 5,  Filename: f.mpg, Duration: 060 min|")
            << f << rowT << 0 << 0;
        QTest::addRow("marker later in a field or in other case is no match")
            << crlf("Show #1|Title: T|Note Quality: Low|quality: High|Quality: Standard|RECORDED: 01/01/2001|"
                    "Recorded: 12/05/2003|Filename: f.mpg|Duration: 060|")
            << f << rowT << 0 << 0;
        QTest::addRow("title line is the quality field")
            << crlf("Show #1|Quality: High|Quality: Standard|Recorded: 12/05/2003|Filename: f.mpg|Duration: 060|")
            << f << row(" High", high) << 0 << 0;
        QTest::addRow("fields in order: earlier Duration passed over")
            << crlf("Show #1|Title: T|Duration: 999|Quality: Standard|Filename: x.mpg|Recorded: 12/05/2003|"
                    "Filename: f.mpg|Duration: 060|")
            << f << rowT << 0 << 0;
        // The quality column: the value's first eight characters, padded by its first four.
        const QList<QPair<const char *, QString>> qualities{
            {"Quality: Standard", standard}, {"Quality: Medium", "Medium" + QString(8, u' ')}, {"Quality: High", high},
            {"Quality: Highest quality", "Highest " + QString(10, u' ')}, {"Quality: HIGH", "HIGH"},
            {"Quality:High", "igh"}, {"Quality: Hi\"gh", "Hi - gh"}};
        for (const auto &[field, column] : qualities)
            QTest::addRow("%s", field) << record("Title:T", field) << whole << row("T", column) << 0 << 0;

        // Values from fixed places: date at 11 (10 long), file name at 11 (26), duration at 11 (3).
        auto values = [](const QString &recorded, const QString &filename, const QString &duration) {
            return record("Title:T", "Quality: Low", "Recorded:" + recorded, "Filename:" + filename,
                          "Duration:" + duration);
        };
        QTest::addRow("file name cut at 26") << values(" 12/05/2003", " " + QString("abcdefghij").repeated(3), " 060")
                                             << QStringList{"abcdefghijabcdefghijabcdef"} << row("T", "Low") << 0 << 0;
        QTest::addRow("values shorter than their width, blank inside")
            << values(" 1/5/03", " f g", " 5") << QStringList{"f g"} << row("T", "Low", "5", "1/5/03") << 0 << 0;
        QTest::addRow("fields end before their values")
            << values("", " ", "") << QStringList{""} << row("T", "Low", "", "") << 0 << 0;
        QTest::addRow("no blank after colon shifts by one")
            << values("12/05/2003", "f.mpg", "0\"60") << QStringList{".mpg"} << row("T", "Low", " - 60", "2/05/2003")
            << 0 << 0;

        // Reading resumes after the Duration field's comma: the rest of its line starts a record.
        QTest::addRow("rest of Duration line is the next line")
            << crlf("Show #1|Title:A|Quality: High|Recorded: 01/01/2001|Filename: a.mpg|Duration: 030,Show #2|"
                    "Title:B|Quality: High|Recorded: 02/02/2002|Filename: b.mpg|Duration: 045|")
            << QStringList{"a.mpg", "b.mpg"} << rowA << 0 << 0;
        // A scan runs on into the next record: record 1 takes record 2's file and duration.
        QTest::addRow("missing field pulls from next record")
            << crlf("Show #1|Title:First|Quality: High|Recorded: 01/01/2001|Duration: 011||Show #2|Title:Second|"
                    "Quality: Medium|Recorded: 02/02/2002|Filename: second.mpg|Duration: 022||Show #3|Title:Third|"
                    "Quality: Standard|Recorded: 03/03/2003|Filename: third.mpg|Duration: 033|")
            << QStringList{"second.mpg", "third.mpg"} << row("First", high, "022", "01/01/2001") << 0 << 0;

        // The text ends inside a record: it is dropped and counted.
        for (const char *tail : {"Show #2", "Show #2|Title:Cut|Quality: High|",
                                 "Show #2|Title:Cut|Quality: High|Recorded: 1/1/01|Filename: cut.mpg|Channel: 4||",
                                 "Show #2|Title:Cut|Quality: High|\"Recorded: 1/1/01|Filename: cut.mpg"})
            QTest::addRow("cut off: %s", tail) << record("Title:Whole") + crlf(tail) << whole
                                              << row("Whole", standard) << 1 << 0;

        // A run just under, at and far over what is kept of a field (and over a
        // streamed piece) in every place: no line moves a field to another record.
        // In the places "@" stands for a run of x, "~" of blanks, "^" of é.
        const QString recordB
            = crlf("Show #2|Title:B|Quality: High|Recorded: 02/02/2002|Filename: b.mpg|Duration: 045|");
        const QString recordA = "Show #1|Title:A|Quality: High|Recorded: 01/01/2001|Filename: a.mpg|Duration: 030|";
        // Each place, then what of record A gets the run, and how.
        // clang-format off
        const QStringList places{"Show line", "#1", "#1@", "title line", "A|", "A(@|", "title line before its colon",
            "Title", "@", "line before Quality", "|Q", "|Note: ^|Q", "field before Quality on its line", "|Q",
            "|Note: ^, Q", "Quality", "High", "High@", "blanks before a field", "|Q", "|~Q", "Recorded", "2001", "2001@",
            "after Filename's quote", "Filename: a.mpg", "\"Filename: a.mpg\"@", "Duration", "030", "030@",
            "line between records", "030|", "030|@|"};
        // clang-format on
        const QString highRun = row("A", "Highxxxx" + QString(10, u' '), "030", "01/01/2001");
        for (const int n : {GuideRules::kCharsUsed - 1, GuideRules::kCharsUsed, GuideRules::kCharsUsed + 1, 100000}) {
            for (qsizetype i = 0; i < places.size(); i += 3) {
                const QString text
                    = QString(recordA).replace(places[i + 1], places[i + 2]).replace(u'@', QString(n, u'x'));
                QTest::addRow("long %s: %d", qPrintable(places[i]), n)
                    << crlf(QString(text).replace(u'~', QString(n, u' ')).replace(u'^', QString(n, u'\u00e9')))
                           + recordB
                    << QStringList{"a.mpg", "b.mpg"} << (text.contains("Highx") ? highRun : rowA) << 0 << 0;
            }
        }
    }

    void guide()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, files);
        QFETCH(QString, firstRow);
        QFETCH(int, incomplete);
        QFETCH(int, leftOut);
        // The whole text at once, and streamed in pieces and blocks so small
        // that line ends and fields are cut between them, and as the file is.
        QByteArray bytes = text.toUtf8();
        const auto streamed = [&bytes](qsizetype piece, qint64 block) {
            QBuffer file(&bytes);
            file.open(QIODevice::ReadOnly);
            LineStream lines(file, piece, block);
            return parseGuideLines(lines, 2);
        };
        for (const GuideParseResult &result : {parseGuide(text, 2), streamed(3, 3), streamed(65536, 4096)}) {
            QStringList names;
            for (const GuideEntry &entry : result.entries)
                names << entry.fileName;
            QCOMPARE(names, files);
            QCOMPARE(result.entries.isEmpty() ? QString() : result.entries.first().row, firstRow);
            QCOMPARE(result.incompleteRecords, incomplete);
            QCOMPARE(result.leftOut, leftOut);
        }
    }

    // What the user sees: titles and rows, save names, numbers, progress and messages.
    void shownTexts_data()
    {
        QTest::addColumn<QString>("text"); // found by the rule in the data function
        QTest::addColumn<QString>("expected");
        // The title without its padding, once it is 58 long.
        auto title = [](const QString &line) {
            QString title = GuideRules::titleFromLine(line);
            if (title.size() != 58)
                return "length " + QString::number(title.size());
            while (title.endsWith(u' '))
                title.chop(1);
            return title;
        };
        QTest::addRow("title: after first colon") << title("Title:Frasier") << "Frasier";
        QTest::addRow("title: blank kept, cut at first parenthesis") << title("Title: Nova (Repeat) (x)") << " Nova";
        QTest::addRow("title: no colon, cut to 58") << title(QString("0123456789").repeated(7))
                                                    << QString("0123456789").repeated(6).left(58);
        QTest::addRow("title: colons and semicolons become blanks") << title("Title:Star Trek: TNG; Law & Order")
                                                                    << "Star Trek  TNG  Law & Order";
        QTest::addRow("title: quote shown as dash") << title("Title:The \"Best\" of SNL") << "The  - Best -  of SNL";
        QTest::addRow("title: quotes lengthen, then cut to 58") << title("Title:" + QString(56, u'a') + "\"zzz")
                                                                << QString(56, u'a') + " -";
        QTest::addRow("title: huge line of quotes") << title("Title:" + QString(10 * 1024 * 1024, u'"'))
                                                    << QStringLiteral(" - ").repeated(19).chopped(1);
        QTest::addRow("title: slashes, commas, other letters") << title("Title:Movie 1/2, Café Señor")
                                                               << "Movie 1/2, Café Señor";
        // Only the row shows quotes as dashes; the date goes on as read, into the save name.
        const auto quoted = parseGuide(record("Title:T", "Quality: Low", "Recorded: 1\"5\"03"), 2).entries.value(0);
        QTest::addRow("row: date with quotes") << quoted.row << row("T", "Low", "060", "1 - 5 - 03");
        QTest::addRow("save name: date with quotes") << saveNameFor(quoted.title, quoted.recordDate) << "T_1 5 03.mpg";

        const QString more = "The guide lists more recordings than the list can hold: the first 201 are shown, ";
        const QString cut = "The guide ends in the middle of a recording's entry; that recording is not in the list.";
        QTest::addRow("told: all listed") << GuideMessages::guideShortfall(0, 0, 201) << "";
        QTest::addRow("told: one left out") << GuideMessages::guideShortfall(0, 1, 201) << more + "1 more is left out.";
        QTest::addRow("told: many left out") << GuideMessages::guideShortfall(0, 9799, 201)
                                             << more + "9799 more are left out.";
        QTest::addRow("told: cut off") << GuideMessages::guideShortfall(1, 0, 201) << cut;
        QTest::addRow("told: both") << GuideMessages::guideShortfall(1, 2, 201)
                                    << more + "2 more are left out.\n\n" + cut;
        const QStringList titles{GuideMessages::titleForMessage(QString(" Nova ").leftJustified(58), "1.mpg"),
                                 GuideMessages::titleForMessage(QString(58, u' '), "2.mpg")};
        QTest::addRow("told: not measured")
            << GuideMessages::titlesNotMeasured(titles)
            << "The size of these tagged titles could not be read from FStat.txt, so they count as 0 bytes in the "
               "total:\n\nNova (1.mpg)\n (2.mpg)\n\nClick the list to measure again.";
        QTest::addRow("told: all measured") << GuideMessages::titlesNotMeasured({}) << "";

        QTest::addRow("save name: trailing blanks dropped") << saveNameFor("  News   ", "03/04/2005")
                                                            << "  News_03 04 2005.mpg";
        QTest::addRow("save name: / \" : ; become blanks") << saveNameFor("AC/DC: \"Live\";1", "3\"4")
                                                             << "AC DC   Live  1_3 4.mpg";
        QTest::addRow("save name: control characters become blanks")
            << saveNameFor(QString::fromUtf8("N\x01\t\x7f", 4) + QChar(0x90) + QChar(0) + "x", "1") << "N     x_1.mpg";
        QTest::addRow("save name: other characters stay") << saveNameFor("Who? *Me* <x>|\\ Café", "")
                                                          << "Who? *Me* <x>|\\ Café_.mpg";

        auto free = [](const QString &name, const QStringList &taken) {
            return chooseFreeName(name, [&taken](const QString &n) { return taken.contains(n); });
        };
        const QStringList show{"S.mpg", "S_01.mpg", "S_02.mpg", "S_03.mpg", "S_04.mpg"};
        QTest::addRow("free name: free") << free("S.mpg", {}) << "S.mpg";
        QTest::addRow("free name: gap at _02") << free("S.mpg", {show[0], show[1], show[3]}) << "S_02.mpg";
        QTest::addRow("free name: five taken") << free("S.mpg", show) << "S_05.mpg";
        QTest::addRow("free name: .mpg inside, every one changes")
            << free("c.mpg_1.mpg", {"c.mpg_1.mpg", "c_01.mpg_1_01.mpg"}) << "c_02.mpg_1_02.mpg";
        QTest::addRow("free name: search is case-sensitive") << free("X.MPG.mpg", {"X.MPG.mpg"}) << "X.MPG_01.mpg";

        // Masks with a blank zero and with "0", then the plain number.
        auto masks = [](double value, const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates)) {
            return QStringList{maskBlankZero(value, locale), maskZero(value, locale), plainNumber(value, locale)}
                .join(" | ");
        };
        QTest::addRow("masks: rounds to zero") << masks(0.4) << " | 0 | 0.4";
        QTest::addRow("masks: three digits") << masks(999) << "999 | 999 | 999";
        QTest::addRow("masks: half away from zero") << masks(2.5) << "3 | 3 | 2.5";
        QTest::addRow("masks: past 32 bits") << masks(5368709120.0) << "5,368,709,120 | 5,368,709,120 | 5368709120";
        QTest::addRow("masks: negative") << masks(-1234) << "-1,234 | -1,234 | -1234";
        QTest::addRow("masks: german") << masks(1234567.5, QLocale(QLocale::German, QLocale::Germany))
                                       << "1.234.568 | 1.234.568 | 1234567,5";

        auto number = [](const QString &text) {
            bool outOfRange = true;
            const double value = leadingNumber(text, &outOfRange);
            return QString::number(value) + (outOfRange ? " (out of range)" : "");
        };
        QTest::addRow("number: blanks ignored wherever they stand") << number("   1 234.5") << "1234.5";
        QTest::addRow("number: stops at letters") << number("10abc") << "10";
        QTest::addRow("number: comma ends it") << number("1,234,567") << "1";
        QTest::addRow("number: second point ends it") << number("1.2.3") << "1.2";
        QTest::addRow("number: dangling exponent") << number("12e-") << "12";
        QTest::addRow("number: sign alone") << number("-") << "0";
        QTest::addRow("number: too large") << number("1e999") << "0 (out of range)";

        QTest::addRow("progress: start, rate unknown") << progressLine(0, 5e6, 0) << "0 %";
        QTest::addRow("progress: minutes left") << progressLine(42e6, 100e6, 3.1e5) << "42 % · 310 KB/s · 4 min left";
        QTest::addRow("progress: seconds left") << progressLine(90e6, 100e6, 3.1e6) << "90 % · 3.1 MB/s · 4 s left";
        QTest::addRow("progress: hours left") << progressLine(0, 4e9, 1e6) << "0 % · 1.0 MB/s · 1 h 07 min left";
        QTest::addRow("progress: past the size") << progressLine(6e6, 5e6, 2e6) << "100 % · 2.0 MB/s · 0 s left";
        QTest::addRow("progress: size unknown") << progressLine(1e6, 0, 500) << "500 B/s";
        QTest::addRow("progress: just under") << progressLine(99.9, 100, 0) << "99 %";

        // Bytes a second over the last five seconds, from (ms, size) samples.
        auto rate = [](const QList<QPair<qint64, double>> &samples) {
            RateMeter meter(5000);
            for (const auto &[ms, size] : samples)
                meter.addSample(ms, size);
            return QString::number(meter.bytesPerSecond(), 'f', 0);
        };
        QTest::addRow("rate: one sample") << rate({{0, 0}}) << "0";
        QTest::addRow("rate: samples too close") << rate({{0, 0}, {199, 1e6}}) << "0";
        QTest::addRow("rate: steady") << rate({{0, 0}, {1000, 1e6}, {2000, 2e6}}) << "1000000";
        QTest::addRow("rate: only the last five seconds") << rate({{0, 0}, {10000, 10e6}, {15000, 25e6}, {20000, 40e6}})
                                                          << "3000000";
        QTest::addRow("rate: the file starts over") << rate({{0, 1e6}, {1000, 2e6}, {2000, 0}, {3000, 5e5}})
                                                    << "500000";

        const auto contrast = [](quint32 a, quint32 b) { return QString::number(contrastRatio(a, b), 'f', 2); };
        QTest::addRow("contrast: black on white") << contrast(0x000000, 0xffffff) << "21.00";
        QTest::addRow("contrast: the lightest grey readable on white") << contrast(0xffffff, 0x767676) << "4.54";
        const auto dimmed = [](quint32 text, quint32 ground) { // nearer the ground than the text, yet readable
            const double ratio = contrastRatio(dimmedReadable(text, ground), ground);
            return ratio >= 4.5 && ratio < 5.5 ? QString("dimmed, readable") : QString::number(ratio);
        };
        QTest::addRow("contrast: dimmed on white") << dimmed(0x000000, 0xffffff) << "dimmed, readable";
        QTest::addRow("contrast: dimmed on a dark ground") << dimmed(0xffffff, 0x2a2a2a) << "dimmed, readable";

        SessionSummary summary;
        QTest::addRow("session: nothing to tell") << sessionEndMessage(summary) << "";
        summary.failed = {{"S_1.mpg", "1.mpg", "stalled"}, {"B_2.mpg", "2.mpg", "transfer tool ended with status 3"}};
        summary.partialFolder = "/home/u/Videos/Kelvado";
        QTest::addRow("session: failed titles, where their partial files are")
            << sessionEndMessage(summary)
            << "Not downloaded completely (the rows stay ticked; any partial file is kept in /home/u/Videos/Kelvado "
               "under the recorder's name, given in brackets):\n"
               "S_1.mpg (1.mpg): stalled\nB_2.mpg (2.mpg): transfer tool ended with status 3";
        summary.failed.append(
            {"D_4.mpg", "4.mpg", "downloaded, but could not be moved into /m: no space left on /m", true});
        QTest::addRow("session: a whole download not saved")
            << sessionEndMessage(summary)
            << "Not downloaded completely (the rows stay ticked; any partial file is kept in /home/u/Videos/Kelvado "
               "under the recorder's name, given in brackets):\n"
               "S_1.mpg (1.mpg): stalled\nB_2.mpg (2.mpg): transfer tool ended with status 3\n\nNot saved (the rows "
               "stay ticked):\nD_4.mpg (4.mpg): downloaded, but could not be moved into /m: no space left on /m";
        summary = {{}, {{"C_3.mpg", "3.mpg"}}, {{"4.mpg", "4.mpg.kept-1"}}, 7, "The log could not be opened.", {},
                   {"E_5.mpg was saved, but 5.mpg was replaced while it was copied"}, {}};
        QTest::addRow("session: all the rest")
            << sessionEndMessage(summary)
            << "Saved, but not checked against a size (the recorder's size could not be measured):\nC_3.mpg (3.mpg)"
               "\n\nE_5.mpg was saved, but 5.mpg was replaced while it was copied\n\nFiles already under a "
               "recorder's file name were kept, renamed:\n4.mpg is now 4.mpg.kept-1\n\n"
               "Only the first 200 ticked titles fit in one session. Still ticked and not downloaded: 7.\n\n"
               "The log could not be opened.\nThe downloads went on; the log is missing their records.";
        // Room before a session: with the save folder elsewhere the working folder holds one recording at a time.
        // Save folder on one disk with the working folder, on one mount too or on another.
        const auto shortfall = [](double workingFree, double saveFree, bool oneDisk, const QString &folder,
                                  bool oneMount = true) {
            setDiskProbe([=](const QString &f) {
                const double free = f.isEmpty() ? workingFree : saveFree;
                return DiskState{true, f.isEmpty() || oneDisk ? 1u : 2u, qint64(free), {},
                                 f.isEmpty() || oneMount ? 1u : 2u};
            });
            const QString text = sessionRoomShortfall(10e9, 2e9, folder);
            setDiskProbe({});
            return text;
        };
        const QString here = QDir::currentPath();
        QTest::addRow("room: working folder short") << shortfall(4e9, 0, true, {})
                                                    << "Working folder (" + here + "): 10.0 GB needed, 4.0 GB free.";
        QTest::addRow("room: save folder elsewhere, fits") << shortfall(3e9, 20e9, false, "/media/x") << "";
        QTest::addRow("room: both short") << shortfall(1e9, 5e9, false, "/media/x")
                                          << "Working folder (" + here + "): 2.0 GB needed, 1.0 GB free.\n"
                                             "Save folder (/media/x): 10.0 GB needed, 5.0 GB free.";
        QTest::addRow("room: one disk for both") << shortfall(4e9, 4e9, true, "/media/x")
                                                 << "Working and save folder (/media/x): 10.0 GB needed, 4.0 GB free.";
        QTest::addRow("room: two mounts of one disk")
            << shortfall(4e9, 4e9, true, "/media/x", false)
            << "Working and save folder (/media/x): 12.0 GB needed, 4.0 GB free.";
        QTest::addRow("room: no size reported") << shortfall(kNoLimit, kNoLimit, false, "/media/x") << "";
        QTest::addRow("room: free bytes of no size") << QString::number(freeBytesOf(0, 0, 4096)) << "-1";
        QTest::addRow("room: free bytes past 2^63") << QString::number(freeBytesOf(1ULL << 52, 1ULL << 52, 4096))
                                                    << "9223372036854775807";
        QTest::addRow("room: save folder gone") << sessionRoomShortfall(1, 1, "/nonexistent/k")
                                                << "Save folder (/nonexistent/k): cannot be reached: No such file or "
                                                   "directory.";
        QTest::addRow("reason: tool status") << outcomeReason({TitleTransfer::Result::ToolFailed, {}, 3})
                                             << "transfer tool ended with status 3";
        QTest::addRow("reason: signal") << outcomeReason({TitleTransfer::Result::ToolFailed, {}, -1})
                                        << "transfer tool was ended by a signal";
    }

    void shownTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // What is read from files and written to them: bytes decoded, text cut into lines
    // and fields, the helper's size, the settings, and the log's records.
    void fileTexts_data()
    {
        QTest::addColumn<QString>("text"); // found by the rule in the data function
        QTest::addColumn<QString>("expected");
        // Not valid UTF-8: every byte kept, read as Windows-1252.
        QTest::addRow("decode: Windows-1252") << decodeText("Am\xe9lie \x93q\x94 \x80\x9f\xa0")
                                              << "Amélie “q” €Ÿ\u00a0";
        // Only a line that is not UTF-8 falls back; every line end stays as it was.
        QTest::addRow("decode: one line in another code page")
            << decodeText("Caf\xc3\xa9\r\nCaf\xe9\nOl\xc3\xa9\r\xc3\xa9") << "Café\r\nCafé\nOlé\ré";
        QTest::addRow("decode: byte-order mark dropped at the start only")
            << decodeText("\xef\xbb\xbfz\r\n\xef\xbb\xbfy") << "z\r\n\uFEFFy";
        // Streamed in pieces of two bytes, each line is decoded as a whole.
        QBuffer pieces;
        pieces.setData("Caf\xc3\xa9 \x93q\x94\r\n\xef\xbb\xbfOl\xc3\xa9");
        pieces.open(QIODevice::ReadOnly);
        LineStream stream(pieces, 2, 3);
        QString streamed;
        while (stream.next(streamed)) {
        }
        QTest::addRow("decode: streamed in pieces") << streamed << "Caf\u00c3\u00a9 \u201cq\u201d\r\n\uFEFFOl\u00e9";

        QTest::addRow("lines: CR LF, the last one ends") << splitLines("a\r\nb\r\n").join(u'|') << "a|b";
        QTest::addRow("lines: LF, lone CR, last without end") << splitLines("a\nb\r\rc").join(u'|') << "a|b||c";

        // F: a field, L: a line; none: fields to the end. Then whether anything is left.
        auto fields = [](const QString &text, const QString &reads = {}) {
            FieldReader reader(text);
            QStringList read;
            for (const QChar what : reads)
                read << (what == u'L' ? reader.readLine() : reader.readField());
            while (reads.isEmpty() && !reader.atEnd())
                read << reader.readField();
            return read.join(u'|') + (reader.atEnd() && reader.readField().isEmpty() ? "" : " (more)");
        };
        QTest::addRow("fields: quoted pair") << fields("\"10.0.0.5\",\"7\"\r\n") << "10.0.0.5|7";
        QTest::addRow("fields: quoted keeps commas and blanks") << fields("\" a, b \",x") << " a, b |x";
        QTest::addRow("fields: blanks and blank lines skipped") << fields("   Q: H\r\n\r\n\n\t x") << "Q: H|x";
        QTest::addRow("fields: empty quoted field") << fields("\"\",\"Default\"") << "|Default";
        QTest::addRow("fields: unterminated quote runs to end") << fields("\"abc") << "abc";
        QTest::addRow("fields: open quote ends with its line") << fields("\"ab\r\ncd\",e") << "ab|cd\"|e";
        QTest::addRow("fields: lone CR ends a field") << fields("a\rb") << "a|b";
        QTest::addRow("fields: text after closing quote dropped") << fields("\"a\"xyz,b") << "a|b";
        QTest::addRow("fields: fields and lines share one position")
            << fields("first,rest of, line\r\nnext line\nlast", "FLLF") << "first|rest of, line|next line|last";
        QTest::addRow("fields: every line end ends a line") << fields("a\r\nb\nc\r\r\nd", "LLLLL") << "a|b|c||d";

        auto settings = [](const QByteArray &bytes) {
            const StoredSettings read = parseSettings(bytes);
            return read.address + '|' + read.delay;
        };
        QTest::addRow("settings: quoted blanks kept") << settings("\" 10.0.0.5 \",\" 7\"") << " 10.0.0.5 | 7";
        QTest::addRow("settings: unquoted trimmed") << settings("  10.0.0.5 ,\t2.5 \r\n") << "10.0.0.5|2.5";
        QTest::addRow("settings: NUL dropped") << settings(QByteArray("\"10.0\0.0.5\",\"7\0\"", 16)) << "10.0.0.5|7";
        QTest::addRow("settings: one field") << settings("\"10.0.0.5\"") << "10.0.0.5|";
        QTest::addRow("settings: empty file") << settings("") << "|";
        QTest::addRow("settings: Windows-1252") << settings("\"caf\xe9\",\"7\"") << "café|7";
        QTest::addRow("settings: written") << QString::fromUtf8(settingsLine("10.0.0.5 ", "Café"))
                                           << "\"10.0.0.5 \",\"Café\"\r\n";

        // The size, or why there is none to check a download against.
        auto stat = [](const QString &text) {
            const char *problems[] = {"", "too few fields", "second field too short", "out of range", "no size"};
            const FileStatReading reading = readFileStat(text);
            return QString::number(reading.size, 'f', 0) + ' ' + problems[int(reading.problem)];
        };
        QTest::addRow("size: helper's form") << stat("FileStat,Size=3145731,Name=1070683200.mpg\r\n") << "3145731 ";
        QTest::addRow("size: any five characters, past 32 bits") << stat("x,ABCDE99999999999") << "99999999999 ";
        QTest::addRow("size: exactly five characters") << stat("FileStat,Size=") << "0 no size";
        QTest::addRow("size: empty file") << stat("") << "0 too few fields";
        QTest::addRow("size: second field too short") << stat("FileStat,Sz\r\n") << "0 second field too short";
        QTest::addRow("size: negative") << stat("FileStat,Size=-5") << "0 out of range";
        QTest::addRow("size: beyond an exact byte count") << stat("FileStat,Size=999999999999999") << "0 out of range";
        QTest::addRow("size: beyond a double") << stat("FileStat,Size=" + QString(400, u'9')) << "0 out of range";

        // The log's records, at 17:04:09 on January 5, 2003.
        auto lines = [](const QStringList &group) { return QString::fromUtf8(encodeLines(group)); };
        const QDateTime at(QDate(2003, 1, 5), QTime(17, 4, 9));
        using namespace LogRecords;
        QTest::addRow("log: new") << lines(creationHeader(at))
                                  << " - - - - - - - - - - - - - - - - - - -\r\n"
                                     "New Kelvado Log V. 1.5  Started   -  01-05-2003\r\n";
        QTest::addRow("log: session") << lines(sessionHeader(at))
                                      << "Kelvado 1.5 log for 01-05-2003 17:04:09\r\n        \r\n";
        QTest::addRow("log: title start") << lines(titleStart("S_1.mpg", "Default", at))
                                          << "S_1.mpg  Started: 17:04:09  Delay = Default\r\n";
        QTest::addRow("log: title finish") << lines(titleFinish("S_1.mpg", at))
                                           << "S_1.mpg Finished: 17:04:09\r\n \r\n";
        QTest::addRow("log: title failed") << lines(titleFailed("S_1.mpg", "stalled", at))
                                           << "S_1.mpg Failed: 17:04:09  stalled\r\n \r\n";
        QTest::addRow("log: file kept") << lines(fileKept("S_1.mpg", "1.mpg", "1.mpg.kept-1", at))
                                        << "S_1.mpg Kept: 17:04:09  1.mpg was already in the folder, now 1.mpg.kept-1"
                                           "\r\n";
        QTest::addRow("log: session end") << lines(sessionEnd()) << " \r\nEnd of Download Session \r\n";
        QTest::addRow("log: termination") << lines(termination()) << "Program Terminated \r\n \r\n \r\n";
    }

    void fileTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }
};

QTEST_APPLESS_MAIN(TestTextRules)
#include "tst_text_rules.moc"
