// "Tolvane ADDRESS -e NAME [DELAY]": refusals, content, size, pacing, and the
// SIMREC_FAULT / SIMREC_FAULT_FILE faults of both tools.
#include "RecorderTest.h"

#include <QElapsedTimer>

void RecorderTest::extractContent()
{
    Sandbox s;
    s.useTestCatalog();
    for (const char *name : {"9999.mpg", "../escape.mpg", ".", "..", "a/b.mpg", ""}) {
        const ToolRun run = s.run("Tolvane", {"addr", "-e", name});
        QVERIFY2(run.exitCode == 1 && !run.err.isEmpty(), name);
    }
    QCOMPARE(s.workEntries(), QStringList());
    QVERIFY(!QFileInfo::exists(s.work("../escape.mpg")));

    // A stale, longer file must be replaced, not overwritten in place.
    Sandbox::write(s.work("small.mpg"), QByteArray(400000, 'J'));
    for (const CatalogRow &row : testRows()) {
        QCOMPARE(s.run("Tolvane", {"192.168.1.20", "-e", row.fileName, "30"}).exitCode, 0);
        QVERIFY(s.exists(row.fileName));
        QCOMPARE(s.read(row.fileName), recording(row.fileName, row.size));
        QCOMPARE(s.statSize(row.fileName), row.size);
    }
    QFile::remove(s.work("small.mpg"));
    QCOMPARE(s.run("Tolvane", {"addr", "-e", "small.mpg"}).exitCode, 0); // without DELAY
    QCOMPARE(s.read("small.mpg"), recording("small.mpg", 300001));
}

void RecorderTest::extractRatePaces()
{
    Sandbox s;
    s.useTestCatalog("200000");
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    s.start(process, "Tolvane", {"addr", "-e", "small.mpg"});
    bool sawPartial = false;
    while (!process.waitForFinished(10)) {
        const qint64 size = QFileInfo(s.work("small.mpg")).size();
        sawPartial = sawPartial || (size > 0 && size < 300001);
    }
    // 300001 bytes at 200000 B/s: sleeps make 1.5 s (less one chunk) a floor.
    QVERIFY(clock.elapsed() >= 1300);
    QVERIFY(sawPartial);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(s.read("small.mpg"), recording("small.mpg", 300001));

    // Unset SIMREC_RATE means 2000000 B/s, not "unlimited".
    s.env.remove("SIMREC_RATE");
    clock.restart();
    QCOMPARE(s.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    QVERIFY(clock.elapsed() >= 400);
    QCOMPARE(s.read(kBig).size(), 1000003);
}

void RecorderTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("onlyFile");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");       // left by "Tolvane -e NAME"; -1: no file
    QTest::addColumn<QByteArray>("fileStat"); // left by "Tamrick NAME"; null: none

    const auto stat = [](const char *name, qint64 size) {
        return "FileStat,Size=" + QByteArray::number(size) + ",Name=" + name + "\r\n";
    };
    const QByteArray big = stat("1077000000.mpg", 1000003);
    QTest::addRow("exit: no file") << "exit" << "" << kBig << qint64(-1) << big;
    QTest::addRow("stop") << "stop:123457" << "" << kBig << qint64(123457) << big;
    QTest::addRow("stop beyond the end") << "stop:5000000" << "" << kBig << qint64(1000003) << big;
    QTest::addRow("oversize: the sequence continues") << "oversize:4099" << "" << kBig << qint64(1000003 + 4099) << big;
    QTest::addRow("no-fstat") << "no-fstat" << "" << kBig << qint64(1000003) << QByteArray();
    QTest::addRow("bad-fstat") << "bad-fstat" << "" << kBig << qint64(1000003) << QByteArray("FileStat\r\n");
    QTest::addRow("short-fstat") << "short-fstat" << "" << kBig << qint64(1000003) << QByteArray("FileStat,Sz\r\n");
    QTest::addRow("stop, another file") << "stop:1000" << "small.mpg" << kBig << qint64(1000003) << big;
    QTest::addRow("stop, this file") << "stop:1000" << "small.mpg" << "small.mpg" << qint64(1000)
                                     << stat("small.mpg", 300001);
    QTest::addRow("no-fstat, another file") << "no-fstat" << "small.mpg" << kBig << qint64(1000003) << big;
    QTest::addRow("no-fstat, this file") << "no-fstat" << "small.mpg" << "small.mpg" << qint64(300001) << QByteArray();
}

void RecorderTest::faults()
{
    QFETCH(QString, fault);
    QFETCH(QString, onlyFile);
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(QByteArray, fileStat);
    Sandbox s;
    s.useTestCatalog();
    s.env["SIMREC_FAULT"] = fault;
    s.env["SIMREC_FAULT_FILE"] = onlyFile;
    QCOMPARE(s.run("Tolvane", {"addr", "-e", name}).exitCode, 0);
    QCOMPARE(s.exists(name), size >= 0);
    if (size >= 0)
        QCOMPARE(s.read(name), recording(name, size));
    QCOMPARE(s.run("Tamrick", {name}).exitCode, 0);
    QCOMPARE(s.exists("FStat.txt"), !fileStat.isNull());
    QCOMPARE(s.read("FStat.txt"), fileStat);
}

void RecorderTest::faultHang()
{
    Sandbox s;
    s.useTestCatalog();
    s.env["SIMREC_FAULT"] = "hang:250000";
    QProcess process;
    s.start(process, "Tolvane", {"addr", "-e", kBig});
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(s.work(kBig)).size(), 250000, 5000);
    // Stalled, not finished: still running and not growing.
    QVERIFY(!process.waitForFinished(500));
    QCOMPARE(QFileInfo(s.work(kBig)).size(), 250000);
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(s.read(kBig), recording(kBig, 250000));
}
