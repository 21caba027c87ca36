// The download session's plain logic: save names, the free-name search, the
// transfer command lines, the stall rules and one title's transfer.
#include "download/SaveName.h"
#include "download/TitleTransfer.h"
#include "download/TransferCommand.h"
#include "runner/StallWatch.h"

#include "TestSupport.h"

#include <QSet>
#include <QtTest>

namespace {

ByteCount bytes(qint64 n)
{
    return ByteCount::fromBytes(n);
}

// A tool in the working directory, as a shell script.
void writeScript(const QString &name, const QByteArray &body)
{
    writeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

Q_DECLARE_METATYPE(StallVerdict)

class TestSessionLogic : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveNames_data();
    void saveNames();
    void freeNameSearch_data();
    void freeNameSearch();
    void takenNamesOnDisk();
    void commandLines_data();
    void commandLines();
    void stallRules_data();
    void stallRules();
    void transferOutcomes_data();
    void transferOutcomes();

private:
    std::unique_ptr<ScratchDir> m_dir;
};

void TestSessionLogic::init() { m_dir = std::make_unique<ScratchDir>(); }
void TestSessionLogic::cleanup() { m_dir.reset(); }

void TestSessionLogic::saveNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");

    QTest::addRow("leading blanks stay") << "  News" << "03/04/2005" << "  News_03 04 2005.mpg";
    QTest::addRow("control characters become blanks") << QString::fromUtf8("News\x01\t\x7f", 7) + QChar(0x90) + QChar(0) + "x"
                                                      << "03/04/2005" << "News     x_03 04 2005.mpg";
    QTest::addRow("other characters stay") << "Who? *Me* <x>|\\" << "03/04/2005" << "Who? *Me* <x>|\\_03 04 2005.mpg";
    QTest::addRow("empty title") << "" << "06/07/2008" << "_06 07 2008.mpg";
    QTest::addRow("non-ASCII") << QStringLiteral("Caf\u00e9 R\u00e9sum\u00e9") << "06/07/2008"
                               << QStringLiteral("Caf\u00e9 R\u00e9sum\u00e9_06 07 2008.mpg");
}

void TestSessionLogic::saveNames()
{
    QFETCH(QString, title);
    QFETCH(QString, date);
    QFETCH(QString, expected);
    QCOMPARE(saveNameFor(title, date), expected);
}

void TestSessionLogic::freeNameSearch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("expected");

    const QString show = QStringLiteral("Show_12 05 2003");
    QTest::addRow("free") << show + ".mpg" << QStringList{} << show + ".mpg";
    QTest::addRow("gap at _02") << show + ".mpg" << QStringList{show + ".mpg", show + "_01.mpg", show + "_03.mpg"}
                                << show + "_02.mpg";
    QTest::addRow("five taken")
        << show + ".mpg"
        << QStringList{show + ".mpg", show + "_01.mpg", show + "_02.mpg", show + "_03.mpg", show + "_04.mpg"}
        << show + "_05.mpg";
    QTest::addRow(".mpg inside the title, two taken")
        << "clip.mpg_06 07 2008.mpg" << QStringList{"clip.mpg_06 07 2008.mpg", "clip_01.mpg_06 07 2008_01.mpg"}
        << "clip_02.mpg_06 07 2008_02.mpg";
    QTest::addRow("search is case-sensitive") << "Loud.MPG_01 01 2001.mpg" << QStringList{"Loud.MPG_01 01 2001.mpg"}
                                              << "Loud.MPG_01 01 2001_01.mpg";
}

void TestSessionLogic::freeNameSearch()
{
    QFETCH(QString, name);
    QFETCH(QStringList, taken);
    QFETCH(QString, expected);
    const QSet<QString> onDisk(taken.begin(), taken.end());
    QCOMPARE(chooseFreeName(name, [&onDisk](const QString &n) { return onDisk.contains(n); }), expected);
}

void TestSessionLogic::takenNamesOnDisk()
{
    writeFile(QStringLiteral("show_12 05 2003.MPG"), "x");
    QVERIFY(QDir().mkdir(QStringLiteral("Folder_01 01 2001.mpg")));
    writeFile(QStringLiteral("Locked_01 01 2001.mpg"), "x");
    QFile::setPermissions(QStringLiteral("Locked_01 01 2001.mpg"), QFile::WriteOwner);

    QVERIFY(saveNameTaken(QStringLiteral("Show_12 05 2003.mpg")));
    QVERIFY(saveNameTaken(QStringLiteral("Folder_01 01 2001.mpg")));
    QVERIFY(saveNameTaken(QStringLiteral("Locked_01 01 2001.mpg")));
    QVERIFY(!saveNameTaken(QStringLiteral("Show_12 05 2003_01.mpg")));
    QCOMPARE(chooseFreeName(QStringLiteral("Show_12 05 2003.mpg"), saveNameTaken),
             QStringLiteral("Show_12 05 2003_01.mpg"));
}

void TestSessionLogic::commandLines_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("waited");
    QTest::addColumn<QString>("commandLine");

    const QString base = QStringLiteral("Tolvane|10.0.0.5|-e|1070683200.mpg");
    QTest::addRow("lower-case default is letters") << "10.0.0.5" << "default" << false << base + "|0";
    QTest::addRow("fraction") << "10.0.0.5" << "2.5" << false << base + "|2.5";
    QTest::addRow("leading zeros dropped") << "10.0.0.5" << "007" << false << base + "|7";
    QTest::addRow("trailing text dropped") << "10.0.0.5" << "12ms" << false << base + "|12";
    QTest::addRow("blank before Default") << "10.0.0.5" << " Default" << false << base + "|0";
    QTest::addRow("address untrimmed, one argument") << "10.0.0.5 x" << "Default" << true
                                                     << "Tolvane|10.0.0.5 x|-e|1070683200.mpg";
}

void TestSessionLogic::commandLines()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(bool, waited);
    QFETCH(QString, commandLine);
    const TransferPlan plan = transferPlan(address, QStringLiteral("1070683200.mpg"), delay);
    QCOMPARE(plan.waited, waited);
    QCOMPARE((QStringList{plan.command.program} + plan.command.arguments).join(u'|'), commandLine);
}

void TestSessionLogic::stallRules_data()
{
    QTest::addColumn<QList<qint64>>("script"); // triples: ms, size, running
    QTest::addColumn<StallVerdict>("last");

    QTest::addRow("growing never stalls") << QList<qint64>{0, 0, 1, 400, 10, 1, 800, 20, 1, 1200, 30, 1}
                                          << StallVerdict::Waiting;
    QTest::addRow("running and quiet for the limit") << QList<qint64>{0, 5, 1, 500, 5, 1, 1000, 5, 1}
                                                     << StallVerdict::Stalled;
    QTest::addRow("running and quiet just short of it") << QList<qint64>{0, 5, 1, 999, 5, 1} << StallVerdict::Waiting;
    QTest::addRow("growth restarts the clock") << QList<qint64>{0, 5, 1, 900, 6, 1, 1800, 6, 1}
                                               << StallVerdict::Waiting;
    QTest::addRow("shrinking counts as activity") << QList<qint64>{0, 5, 1, 900, 0, 1, 1800, 0, 1}
                                                  << StallVerdict::Waiting;
    QTest::addRow("ended and quiet") << QList<qint64>{0, 5, 0, 100, 5, 0} << StallVerdict::StoppedShort;
    QTest::addRow("ended just now") << QList<qint64>{0, 5, 1, 900, 5, 1, 950, 5, 0, 1000, 5, 0}
                                    << StallVerdict::Waiting;
    QTest::addRow("ended, then quiet for its own limit")
        << QList<qint64>{0, 5, 1, 900, 5, 1, 950, 5, 0, 1050, 5, 0} << StallVerdict::StoppedShort;
}

void TestSessionLogic::stallRules()
{
    QFETCH(QList<qint64>, script);
    QFETCH(StallVerdict, last);
    StallLimits limits;
    limits.runningMs = 1000;
    limits.endedMs = 100;
    StallWatch watch(limits);
    StallVerdict verdict = StallVerdict::Waiting;
    for (qsizetype i = 0; i + 2 < script.size(); i += 3) {
        QCOMPARE(verdict, StallVerdict::Waiting); // nothing before the last step decides
        verdict = watch.observe(script[i], bytes(script[i + 1]), script[i + 2] != 0);
    }
    QCOMPARE(verdict, last);
}

void TestSessionLogic::transferOutcomes_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("waited");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("size");

    using R = TitleTransfer::Result;
    QTest::addRow("unwaited, complete after a while")
        << QByteArray("printf 12 > out.bin; sleep 0.3; printf 345 >> out.bin\n") << false << qint64(5)
        << int(R::Complete) << qint64(5);
    QTest::addRow("unwaited, complete size then more")
        << QByteArray("printf 12345 > out.bin; sleep 0.3; printf 67 >> out.bin\n") << false << qint64(5)
        << int(R::Larger) << qint64(7);
    QTest::addRow("unwaited, stalls and is stopped") << QByteArray("printf 1234 > out.bin\nexec sleep 60\n") << false
                                                     << qint64(10) << int(R::Stalled) << qint64(4);
    QTest::addRow("unknown size, file left") << QByteArray("printf 123 > out.bin\n") << false << qint64(0)
                                             << int(R::Complete) << qint64(3);
    QTest::addRow("unknown size, empty file") << QByteArray(": > out.bin\n") << true << qint64(0)
                                              << int(R::Complete) << qint64(0);
    // The file is there at once, but the title is done only when the tool has ended.
    QTest::addRow("unknown size, tool still writing")
        << QByteArray("printf 12 > out.bin\nsleep 0.6\nprintf 34 >> out.bin\n") << false << qint64(0)
        << int(R::Complete) << qint64(4);
    // Without a size only the tool's own word tells a whole file from a part.
    QTest::addRow("unknown size, tool fails after a part") << QByteArray("printf 12 > out.bin\nexit 3\n") << false
                                                           << qint64(0) << int(R::ToolFailed) << qint64(2);
    QTest::addRow("unknown size, tool killed, waited") << QByteArray("printf 12 > out.bin\nkill -9 $$\n") << true
                                                       << qint64(0) << int(R::ToolFailed) << qint64(2);
}

void TestSessionLogic::transferOutcomes()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, waited);
    QFETCH(qint64, expected);
    QFETCH(int, result);
    QFETCH(qint64, size);

    writeScript(QStringLiteral("tool"), script);
    StallLimits limits;
    limits.endedMs = 300;
    limits.runningMs = 2000;
    TitleTransfer transfer(limits);
    const ToolRunResult run = transfer.start({waited, {QStringLiteral("tool"), {}}}, QStringLiteral("out.bin"));
    QVERIFY2(run.started, qPrintable(run.error));
    if (waited)
        QVERIFY(!transfer.toolRunning());

    QList<qint64> shown;
    const TitleTransfer::Outcome outcome = transfer.watch(
        QStringLiteral("out.bin"), bytes(expected),
        [&shown](ByteCount current) { shown << current.tenThousandths / ByteCount::kScale; });
    QCOMPARE(int(outcome.result), result);
    QCOMPARE(outcome.size, bytes(size));
    QCOMPARE(QFileInfo(QStringLiteral("out.bin")).size(), size); // left as it arrived
    QVERIFY(!transfer.toolRunning());
    if (expected == 0) {
        QVERIFY(shown.isEmpty()); // no progress for an unknown size
    } else {
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), size);
        QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    }
}

QTEST_MAIN(TestSessionLogic)
#include "tst_session_logic.moc"
