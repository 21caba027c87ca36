// The journal, --help, bad command lines, bad SIMREC_* values and catalogs,
// and the content function Kelvado's tests compare downloads with.
#include "RecorderTest.h"

void RecorderTest::journalLines()
{
    // One line per invocation, written before the work, also when it fails.
    Sandbox s;
    s.useTestCatalog();
    s.env["SIMREC_JOURNAL"] = s.aux("journal.txt");
    QCOMPARE(s.run("Tolvane", {"192.168.1.20", "-g"}).exitCode, 0);
    QCOMPARE(s.run("Tamrick", {"guide"}).exitCode, 0);
    QCOMPARE(s.run("Tolvane", {"addr", "-e", "small.mpg", "3 sec"}).exitCode, 0);
    QCOMPARE(s.run("Tamrick", {"small.mpg"}).exitCode, 0);
    QCOMPARE(s.run("Tolvane", {"--help"}).exitCode, 0);
    QCOMPARE(s.run("Tamrick", {"a", "b"}).exitCode, 2);
    QCOMPARE(s.run("Tolvane", {"addr", "-e", "unknown.mpg"}).exitCode, 1);
    s.env["SIMREC_RATE"] = "fast";
    QCOMPARE(s.run("Tolvane", {"addr", "-e", "small.mpg"}).exitCode, 2);
    QCOMPARE(Sandbox::readPath(s.aux("journal.txt")),
             QByteArray("Tolvane 192.168.1.20 -g\nTamrick guide\nTolvane addr -e small.mpg 3 sec\nTamrick small.mpg\n"
                        "Tolvane --help\nTamrick a b\nTolvane addr -e unknown.mpg\nTolvane addr -e small.mpg\n"));
}

void RecorderTest::journalConcurrent()
{
    // Long lines make interleaving likely if the append were not atomic.
    Sandbox s;
    s.env["SIMREC_JOURNAL"] = s.aux("journal.txt");
    QStringList expected;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (char c = 'a'; c < 'a' + 12; ++c) {
        const QString name = QString(2000, QLatin1Char(c)) + ".mpg";
        expected << "Tamrick " + name;
        processes.push_back(std::make_unique<QProcess>());
        s.start(*processes.back(), "Tamrick", {name});
    }
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitCode(), 1);
    }
    const QString text = QString::fromUtf8(Sandbox::readPath(s.aux("journal.txt")));
    QVERIFY(text.endsWith(u'\n'));
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    QCOMPARE(lines, expected);
}

void RecorderTest::usageHelp()
{
    Sandbox s;
    for (const char *tool : {"Tolvane", "Tamrick"}) {
        const ToolRun run = s.run(tool, {"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const char *var : {"SIMREC_CATALOG", "SIMREC_RATE", "SIMREC_JOURNAL", "SIMREC_FAULT", "SIMREC_FAULT_FILE",
                                "SIMREC_GUIDE_FILE"})
            QVERIFY2(run.out.contains(var), var);
        QVERIFY(run.out.contains(tool == QLatin1String("Tolvane") ? "-e NAME" : " guide "));
    }
    QCOMPARE(s.workEntries(), QStringList());
}

void RecorderTest::usageErrors_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");

    for (const QStringList &args : QList<QStringList>{{}, {"addr"}, {"addr", "-x"}, {"addr", "-e"}, {"addr", "-g", "x"},
                                                      {"addr", "-e", "small.mpg", "5", "extra"}, {"--help", "extra"}})
        QTest::addRow("Tolvane %s", qPrintable(args.join(u' '))) << "Tolvane" << args;
    for (const QStringList &args : QList<QStringList>{{}, {"guide", "extra"}, {"--help", "x"}})
        QTest::addRow("Tamrick %s", qPrintable(args.join(u' '))) << "Tamrick" << args;
}

void RecorderTest::usageErrors()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    Sandbox s;
    const ToolRun run = s.run(tool, args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("Usage"));
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(s.workEntries(), QStringList());
}

void RecorderTest::invalidEnvironment_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");

    for (const char *rate : {"abc", "-5", "1e6", " 100", "100 ", "99999999999999999999"})
        QTest::addRow("SIMREC_RATE=%s", rate) << "SIMREC_RATE" << rate;
    for (const char *fault : {"bogus", "hang", "hang:", "stop:x", "oversize:-1", "EXIT", "exit:3"})
        QTest::addRow("SIMREC_FAULT=%s", fault) << "SIMREC_FAULT" << fault;
    QTest::addRow("catalog missing") << "SIMREC_CATALOG" << "missing.tsv";
    QTest::addRow("journal in a missing folder") << "SIMREC_JOURNAL" << "no-such-dir/journal.txt";
}

void RecorderTest::invalidEnvironment()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    Sandbox s;
    s.useTestCatalog();
    s.env[name] = value;
    for (const QStringList &args : QList<QStringList>{{"addr", "-e", "small.mpg"}, {"addr", "-g"}}) {
        const ToolRun run = s.run("Tolvane", args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(name.toUtf8()), run.err.constData());
    }
    QCOMPARE(s.run("Tamrick", {"small.mpg"}).exitCode, 2);
    QCOMPARE(s.workEntries(), QStringList());
}

void RecorderTest::malformedCatalog_data()
{
    QTest::addColumn<QByteArray>("line");

    for (const char *line :
         {"Six\tHigh\t01/02/2003\t04:05:06\tsix.mpg\t30", "Eight\tHigh\t01/02/2003\t04:05:06\teight.mpg\t30\t1000\tx",
          "Low\tLow\t01/02/2003\t04:05:06\tlow.mpg\t30\t1000", "Month\tHigh\t13/02/2003\t04:05:06\tm.mpg\t30\t1000",
          "M/DD\tHigh\t1/02/2003\t04:05:06\tm.mpg\t30\t1000", "Feb 30\tHigh\t02/30/2003\t04:05:06\tm.mpg\t30\t1000",
          "Hour\tHigh\t01/02/2003\t24:00:00\th.mpg\t30\t1000", "Minute\tHigh\t01/02/2003\t12:60:00\th.mpg\t30\t1000",
          "Slash\tHigh\t01/02/2003\t04:05:06\ta/b.mpg\t30\t1000", "Size\tHigh\t01/02/2003\t04:05:06\ts.mpg\t30\t12MB",
          "Minus\tHigh\t01/02/2003\t04:05:06\td.mpg\t-1\t1000", "Minutes\tHigh\t01/02/2003\t04:05:06\td.mpg\tabc\t1000",
          "No size\tHigh\t01/02/2003\t04:05:06\ts.mpg\t30\t", "Twice\tHigh\t01/02/2003\t04:05:06\tgood.mpg\t30\t1000",
          "Bad \xff UTF-8\tHigh\t01/02/2003\t04:05:06\tu.mpg\t30\t1000"})
        QTest::addRow("%s", QByteArray(line).left(QByteArray(line).indexOf('\t')).constData()) << QByteArray(line);
}

void RecorderTest::malformedCatalog()
{
    QFETCH(QByteArray, line);
    Sandbox s;
    const QByteArray good = "# header\nGood\tHigh\t01/02/2003\t04:05:06\tgood.mpg\t30\t1000\n";
    // The good lines alone are accepted, so each failure below is the bad line's.
    s.env["SIMREC_CATALOG"] = Sandbox::write(s.aux("good.tsv"), good);
    QCOMPARE(s.statSize("good.mpg"), 1000);
    QFile::remove(s.work("FStat.txt"));

    s.env["SIMREC_CATALOG"] = Sandbox::write(s.aux("bad.tsv"), good + line + "\n");
    const ToolRun run = s.run("Tolvane", {"addr", "-g"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("line 3"), run.err.constData());
    QCOMPARE(s.run("Tamrick", {"good.mpg"}).exitCode, 2);
    QCOMPARE(s.run("Tolvane", {"addr", "-e", "good.mpg"}).exitCode, 2);
    QCOMPARE(s.workEntries(), QStringList());
}

void RecorderTest::contentFunction()
{
    const std::string name = "1070683200.mpg";
    std::vector<char> whole(4096), other(4096);
    recorder::recordingBytes(name, 0, whole.data(), whole.size());

    // Any offset and length, aligned or not, gives the same bytes on every call
    // and writes nothing outside [out, out + n).
    for (std::size_t offset : {0u, 1u, 7u, 8u, 9u, 13u, 100u, 1023u, 2048u})
        for (std::size_t n : {0u, 1u, 3u, 7u, 8u, 9u, 17u, 64u, 1000u}) {
            std::vector<char> part(n + 2, '\x5a');
            recorder::recordingBytes(name, offset, part.data() + 1, n);
            QVERIFY2(std::equal(part.begin() + 1, part.end() - 1, whole.begin() + offset) && part.front() == '\x5a'
                         && part.back() == '\x5a',
                     qPrintable(QStringLiteral("offset %1 length %2").arg(offset).arg(n)));
        }

    // Another recording has unrelated content.
    recorder::recordingBytes("1070683201.mpg", 0, other.data(), other.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        differing += whole[i] != other[i];
    QVERIFY(differing > 3500);

    // Varied bytes, no short period: a broken mixer shows up here.
    QByteArray big(1 << 16, Qt::Uninitialized);
    recorder::recordingBytes(name, 1ull << 32, big.data(), std::size_t(big.size()));
    QCOMPARE(QSet<char>(big.begin(), big.end()).size(), 256);
    QVERIFY(!std::equal(whole.begin(), whole.begin() + 8, whole.begin() + 8));
}

QTEST_GUILESS_MAIN(RecorderTest)
