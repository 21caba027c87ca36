// The simulated recorder's tests. Each row runs the built Tolvane and Tamrick
// in a scratch working directory with only the SIMREC_* variables it sets, and
// checks their exit statuses and output, the files they leave and the journal.
#include "RecordingContent.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>

namespace {

// The catalog the rows use (title, quality, date, time, file name, minutes,
// size), written by the test so that every expected value is known apart from
// the tools.
const QList<QStringList> kRows{
    {QStringLiteral("Alpha: \"One\"; (Two) 1/2"), "High", "02/29/2004", "23:59:59", "1077000000.mpg", "5", "1000003"},
    {QStringLiteral("Ümlaut Über Straße"), "Standard", "01/01/2002", "00:00:00", "1009872000.mpg", "1234", "65536"},
    {"Zero", "Medium", "12/31/2005", "12:00:00", "1136059200.mpg", "0", "0"},
    {"Small", "High", "06/15/2003", "08:30:00", "small.mpg", "30", "300001"},
};
const QString kBig = QStringLiteral("1077000000.mpg");

QByteArray recording(const QString &name, qint64 n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    recorder::recordingBytes(name.toStdString(), 0, bytes.data(), std::size_t(n));
    return bytes;
}

QByteArray fileStat(const QString &name, qint64 size)
{
    return "FileStat,Size=" + QByteArray::number(size) + ",Name=" + name.toUtf8() + "\r\n";
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class Mode { Plain, Grows, Together };
using Files = QMap<QString, QByteArray>;

struct Case
{
    QList<QStringList> runs; // the tool, then its arguments
    QList<int> exits;        // -1: the tool does not end by itself, the test ends it
    QStringList env;         // NAME=VALUE over the defaults
    Files inputs;            // variables naming a file outside the working directory, with its bytes
    Files before, after;     // the working directory before and, exactly, after; null content: any
    QByteArray err;          // in the stderr of every run that fails
    Mode mode = Mode::Plain;
    QString guide; // Guide.txt holds the guide of the "test" or "demo" catalog

    Case &run(const QStringList &command, int exit = 0) { return runs << command, exits << exit, *this; }
    Case &set(const QString &setting) { return env << setting, *this; }
    Case &feed(const QString &name, const QByteArray &bytes) { return inputs[name] = bytes, *this; }
    Case &was(const QString &name, const QByteArray &bytes) { return before[name] = bytes, *this; }
    Case &is(const QString &name, const QByteArray &bytes) { return after[name] = bytes, *this; }
    Case &holds(const QString &name, qint64 size) { return is(name, recording(name, size)); }
    Case &saying(const QByteArray &text) { return err = text, *this; }
    Case &as(Mode m) { return mode = m, *this; }
    Case &guideOf(const QString &catalog) { return guide = catalog, is("Guide.dat", {}).is("Guide.txt", {}); }
};
std::deque<Case> cases;

Case &add(const QString &tag)
{
    QTest::newRow(qPrintable(tag)) << int(cases.size());
    return cases.emplace_back();
}

// Kelvado's own suites read the guide through its parser, row by row; here
// only its header and how many shows it holds.
void checkGuide(const QByteArray &bytes, bool demo)
{
    const qsizetype shows = demo ? 12 : kRows.size();
    QVERIFY2(bytes.contains("\r\nTotal shows: " + QByteArray::number(shows) + "\r\n"), bytes.left(200).constData());
    QCOMPARE(bytes.count("\r\nShow #"), shows);
    for (qsizetype i = 0; !demo && i < shows; ++i)
        QVERIFY(bytes.contains("\r\nFilename: " + kRows[i][4].toUtf8() + "\r\n"));
}

} // namespace

class RecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void tools_data();
    void tools();
};

// One row a line, or a few for a long one.
// clang-format off
void RecorderTest::tools_data()
{
    QTest::addColumn<int>("index");
    const QStringList guide{"Tamrick", "guide"}, fetch{"Tolvane", "addr", "-g"};
    const auto extract = [](const QString &name) { return QStringList{"Tolvane", "addr", "-e", name}; };
    QByteArray dat = "SIMREC-GUIDE-DAT 1\n";
    for (const QStringList &r : kRows)
        dat += r.join(u'\t').toUtf8() + '\n';
    // Bare LF, CR LF, NUL and every other byte: a guide file passes unchanged.
    QByteArray handMade("Show #1\nnot CR LF\r\n\0tail", 24);
    for (int i = 0; i < 5000; ++i)
        handMade += char((i * 131 + 7) & 0xff);

    add("guide").run({"Tolvane", "192.168.1.20", "-g"}).run(guide).guideOf("test");
    add("guide of the demo").set("SIMREC_CATALOG=").run(fetch).run(guide).guideOf("demo");
    add("guide from Guide.dat, not catalog").set("SIMREC_CATALOG=").was("Guide.dat", dat).run(guide).guideOf("test");
    add("no Guide.dat").run(guide, 1);
    add("Guide.dat of something else").was("Guide.dat", "not a guide\n").run(guide, 1);
    add("Guide.dat damaged").was("Guide.dat", QByteArray(dat).replace("\t1000003", "\tx000003")).run(guide, 1);
    add("SIMREC_GUIDE_FILE").feed("SIMREC_GUIDE_FILE", handMade).run(guide).is("Guide.txt", handMade);
    add("SIMREC_GUIDE_FILE missing").set("SIMREC_GUIDE_FILE=missing.txt").run(guide, 2);

    for (const char *name : {"9999.mpg", "../escape.mpg", ".", "..", "a/b.mpg", ""})
        add(QStringLiteral("refused name '%1'").arg(name)).run(extract(name), 1);
    for (const QStringList &r : kRows)
        add("extract " + r[4]).run({"Tolvane", "192.168.1.20", "-e", r[4], "3 sec"}).run({"Tamrick", r[4]})
            .holds(r[4], r[6].toLongLong()).is("FStat.txt", fileStat(r[4], r[6].toLongLong()));
    add("a longer file replaced").was("small.mpg", QByteArray(400000, 'J')).run(extract("small.mpg"))
        .holds("small.mpg", 300001);
    add("SIMREC_RATE paces").set("SIMREC_RATE=200000").run(extract("small.mpg")).holds("small.mpg", 300001)
        .as(Mode::Grows);
    add("unset SIMREC_RATE paces").set("SIMREC_RATE=").run(extract(kBig)).holds(kBig, 1000003).as(Mode::Grows);

    // Tolvane's faults leave Tamrick alone and the other way round.
    const QByteArray big = fileStat(kBig, 1000003);
    const struct { const char *fault, *only; QString name; qint64 size; int exit; QByteArray stat; } faults[] = {
        {"exit", "", kBig, -1, 0, big},
        {"stop:123457", "", kBig, 123457, 0, big},
        {"stop:5000000", "", kBig, 1000003, 0, big},
        {"fail:65000", "", kBig, 65000, 1, big},
        {"oversize:4099", "", kBig, 1000003 + 4099, 0, big}, // the content goes on
        {"no-fstat", "", kBig, 1000003, 0, {}},
        {"bad-fstat", "", kBig, 1000003, 0, "FileStat\r\n"},
        {"short-fstat", "", kBig, 1000003, 0, "FileStat,Sz\r\n"},
        {"stop:1000", "small.mpg", kBig, 1000003, 0, big},
        {"stop:1000", "small.mpg", "small.mpg", 1000, 0, fileStat("small.mpg", 300001)},
        {"no-fstat", "small.mpg", kBig, 1000003, 0, big},
        {"no-fstat", "small.mpg", "small.mpg", 300001, 0, {}},
    };
    for (const auto &f : faults) {
        Case &c = add(QStringLiteral("%1 for '%2' on %3").arg(f.fault, f.only, f.name))
            .set(QStringLiteral("SIMREC_FAULT=") + f.fault).set(QStringLiteral("SIMREC_FAULT_FILE=") + f.only)
            .run({"Tamrick", f.name}).run(extract(f.name), f.exit);
        if (f.size >= 0)
            c.holds(f.name, f.size);
        if (!f.stat.isNull())
            c.is("FStat.txt", f.stat);
    }
    // Stalled, not finished: the file stays at its size until the tool is ended.
    add("hang:250000").set("SIMREC_FAULT=hang:250000").run(extract(kBig), -1).holds(kBig, 250000);

    // Every command checks every variable, and the message names it.
    for (const char *setting : {"SIMREC_RATE=abc", "SIMREC_RATE=-5", "SIMREC_RATE=1e6", "SIMREC_RATE= 100",
             "SIMREC_RATE=100 ", "SIMREC_RATE=99999999999999999999", "SIMREC_FAULT=bogus", "SIMREC_FAULT=hang",
             "SIMREC_FAULT=hang:", "SIMREC_FAULT=stop:x", "SIMREC_FAULT=oversize:-1", "SIMREC_FAULT=EXIT",
             "SIMREC_FAULT=exit:3", "SIMREC_CATALOG=missing.tsv", "SIMREC_JOURNAL=no-such-dir/journal.txt"})
        add(setting).set(setting).run(extract("small.mpg"), 2).run(fetch, 2).run({"Tamrick", "small.mpg"}, 2)
            .saying(QByteArray(setting).left(QByteArray(setting).indexOf('=')));
    // The good line alone is accepted, so each failure below is the bad line's: after the good line, the
    // same for "bad.mpg" changed as the row says.
    const QByteArray good = "Good\tHigh\t01/02/2003\t04:05:06\tgood.mpg\t30\t1000";
    add("catalog: good").feed("SIMREC_CATALOG", good).run({"Tamrick", "good.mpg"})
        .is("FStat.txt", fileStat("good.mpg", 1000));
    for (const auto &change : QList<QPair<QByteArray, QByteArray>>{{"\t1000", ""}, {"1000", "1000\tx"}, {"High", "Low"},
             {"01/02", "13/02"}, {"01/02", "1/02"}, {"01/02", "02/30"}, {"04:05:06", "24:00:00"},
             {"04:05:06", "12:60:00"}, {"bad.mpg", "a/b.mpg"}, {"\t30", "\t-1"}, {"\t30", "\tabc"}, {"1000", "12MB"},
             {"1000", ""}, {"Good", "Bad \xff UTF-8"}, {"bad.mpg", "good.mpg"}})
        add("catalog: " + change.first + " to " + change.second)
            .feed("SIMREC_CATALOG", "# header\n" + good + "\n" + QByteArray(good).replace("good", "bad")
                                                                          .replace(change.first, change.second))
            .run(fetch, 2).run({"Tamrick", "good.mpg"}, 2).run(extract("good.mpg"), 2).saying("line 3");
    // Long lines make interleaving likely if the append were not one write.
    Case &together = add("journal of tools run together").as(Mode::Together);
    for (char c = 'a'; c < 'a' + 12; ++c)
        together.run({"Tamrick", QString(2000, QLatin1Char(c)) + ".mpg"}, 1);
}
// clang-format on

void RecorderTest::tools()
{
    QFETCH(int, index);
    const Case &c = cases[std::size_t(index)];
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir("work") && QDir(root.path()).mkdir("aux"));
    const QString work = root.filePath("work/"), aux = root.filePath("aux/");
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    QProcessEnvironment env; // nothing but what the row sets
    env.insert("SIMREC_RATE", "0");
    env.insert("SIMREC_JOURNAL", aux + "journal.txt");
    // A byte order mark, comments, blank lines and a CR LF line end must all be accepted.
    QByteArray catalog = "\xEF\xBB\xBF# test catalog\n\n";
    for (const QStringList &r : kRows)
        catalog += r.join(u'\t').toUtf8() + (r[6] == "65536" ? "\r\n   \n# more\n" : "\n");
    Files inputs{{"SIMREC_CATALOG", catalog}};
    inputs.insert(c.inputs);
    for (auto it = inputs.cbegin(); it != inputs.cend(); ++it) {
        put(aux + it.key(), it.value());
        env.insert(it.key(), aux + it.key());
    }
    for (const QString &setting : c.env)
        env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    for (auto it = c.before.cbegin(); it != c.before.cend(); ++it)
        put(work + it.key(), it.value());

    std::vector<std::unique_ptr<QProcess>> tools;
    QStringList journal{QString()}; // every line ends in LF
    for (qsizetype i = 0; i < c.runs.size(); ++i) {
        QProcess &tool = *tools.emplace_back(std::make_unique<QProcess>());
        tool.setProcessEnvironment(env);
        tool.setWorkingDirectory(work);
        tool.start(QStringLiteral(RECORDER_BIN_DIR "/") + c.runs[i][0], c.runs[i].mid(1));
        journal << c.runs[i].join(u' ');
        bool partial = false; // a file seen part-written while the tool runs
        while (c.mode == Mode::Grows && !tool.waitForFinished(10))
            for (auto it = c.after.cbegin(); it != c.after.cend(); ++it)
                partial = partial || QList<qint64>{0, it.value().size()}.indexOf(QFileInfo(work + it.key()).size()) < 0;
        QVERIFY(c.mode != Mode::Grows || partial);
        if (c.exits[i] < 0) {
            for (auto it = c.after.cbegin(); it != c.after.cend(); ++it)
                QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(work + it.key()).size(), qint64(it.value().size()), 10000);
            QCOMPARE(tool.state(), QProcess::Running);
            tool.terminate();
        }
        if (c.mode != Mode::Together)
            QVERIFY(tool.state() == QProcess::NotRunning || tool.waitForFinished(60000));
    }
    for (qsizetype i = 0; i < c.runs.size(); ++i) {
        QProcess &tool = *tools[std::size_t(i)];
        QVERIFY(tool.state() == QProcess::NotRunning || tool.waitForFinished(60000));
        const QByteArray out = tool.readAllStandardOutput(), err = tool.readAllStandardError();
        QCOMPARE(tool.exitStatus(), c.exits[i] < 0 ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(c.exits[i] < 0 ? -1 : tool.exitCode(), c.exits[i]);
        QVERIFY2(c.exits[i] > 0 ? !err.isEmpty() && err.contains(c.err) : err.isEmpty(), err.constData());
        QVERIFY2(out.isEmpty(), out.constData());
    }

    Files left = c.before;
    left.insert(c.after);
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), left.keys());
    for (auto it = c.after.cbegin(); it != c.after.cend(); ++it)
        if (!it.value().isNull())
            QCOMPARE(read(work + it.key()), it.value());
    // Nothing is written outside the working directory.
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"aux", "work"}));
    // Each run adds its line to the journal before its work, whether it succeeds or not.
    if (!c.env.join(u' ').contains(QLatin1String("SIMREC_JOURNAL="))) {
        QStringList lines = QString::fromUtf8(read(aux + "journal.txt")).split(u'\n');
        lines.sort();
        journal.sort();
        QCOMPARE(lines, journal);
    }
    if (!c.guide.isEmpty())
        checkGuide(read(work + "Guide.txt"), c.guide == QLatin1String("demo"));
}

QTEST_GUILESS_MAIN(RecorderTest)
#include "RecorderTests.moc"
