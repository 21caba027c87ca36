// Running outside tools and looking at files in the working directory.
#include "runner/EndOnSignal.h"
#include "runner/FileNames.h"
#include "runner/Pause.h"
#include "runner/ToolRunner.h"

#include "TestSupport.h"

#include <QProcess>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A tool in the working directory that records the arguments it received.
void writeArgumentRecorder(const QString &name)
{
    writeFile(name, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n");
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A tool in the working directory that writes the bytes to the file its first
// argument names, then its process id to "$1.pid", and then ends or, when
// stuck, waits 20 s to be ended.
void writeWritingTool(const QString &name, const QByteArray &bytes, bool stuck)
{
    writeFile(name, "#!/bin/sh\nprintf '" + bytes + "' > \"$1\"\necho $$ > \"$1.new\" && mv \"$1.new\" \"$1.pid\"\n"
                        + (stuck ? "exec sleep 20\n" : ""));
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Whether the process whose id the file holds still exists.
bool stillRunning(const QString &pidFile)
{
    const int pid = readFile(pidFile).trimmed().toInt();
    return pid > 0 && !(::kill(pid, 0) != 0 && errno == ESRCH);
}

bool makeSparseFile(const QString &name, qint64 size)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::ftruncate(fd, size) == 0;
    ::close(fd);
    return ok;
}

} // namespace

class TestRunner : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingProgramIsToldOnce();
    void argumentsReachToolLiterally();
    void workingDirectoryComesBeforeSearchPath();
    void fileExistsOnlyForReadableFiles();
    void namesMatchIgnoringCase();
    void sizesPastFourGigabytes_data();
    void sizesPastFourGigabytes();
    void sizeOfGrowingFile();
    void pauseReturnsAtOnceForNothingToWait_data();
    void pauseReturnsAtOnceForNothingToWait();
    void pauseHandlesEventsWhileWaiting();
    void renameNeverReplaces();
    void recorderNames_data();
    void recorderNames();
    void stuckWaitedRunStopped_data();
    void stuckWaitedRunStopped();
    void endSignalEndsEveryTool_data();
    void endSignalEndsEveryTool();

private:
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;
};

void TestRunner::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_messages = std::make_unique<MessageCapture>();
}

void TestRunner::cleanup()
{
    m_messages.reset();
    m_dir.reset();
}

void TestRunner::missingProgramIsToldOnce()
{
    QCOMPARE(ShellAndWait({QStringLiteral("NoSuchTool_kelvado"), {"1.2.3.4", "-g"}}).started, false);
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages.first().contains(QStringLiteral("NoSuchTool_kelvado")));
    QCOMPARE(ShellAndWait({}).started, false);
    QCOMPARE(m_messages->messages.size(), 2);
}

void TestRunner::argumentsReachToolLiterally()
{
    writeArgumentRecorder(QStringLiteral("Recorder"));
    // Each argument arrives whole, blanks and quotes included; none is split or empty-dropped.
    const ToolCommand command{QStringLiteral("Recorder"),
                              {"1.2.3.4;touch pwned", "$(id)", "|", "x.mpg -g", "\"..", "", "two  words "}};
    QVERIFY(ShellAndWait(command).ranToEnd());
    QCOMPARE(m_messages->messages, QStringList());
    QCOMPARE(readFile(QStringLiteral("args.txt")),
             QByteArray("1.2.3.4;touch pwned\n$(id)\n|\nx.mpg -g\n\"..\n\ntwo  words \n"));
    QCOMPARE(command.text(), QStringLiteral("Recorder 1.2.3.4;touch pwned $(id) | x.mpg -g \"..  two  words "));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

void TestRunner::workingDirectoryComesBeforeSearchPath()
{
    // "sh" exists on PATH; the one in the working directory must win.
    writeArgumentRecorder(QStringLiteral("sh"));
    QVERIFY(ShellAndWait({QStringLiteral("sh"), {"local"}}).ranToEnd());
    QCOMPARE(readFile(QStringLiteral("args.txt")), QByteArray("local\n"));
}

void TestRunner::fileExistsOnlyForReadableFiles()
{
    QVERIFY(!FileExists(QStringLiteral("missing.txt")));
    QVERIFY(QDir().mkdir(QStringLiteral("folder")));
    QVERIFY(!FileExists(QStringLiteral("folder")));
    writeFile(QStringLiteral("plain.txt"), "x");
    QVERIFY(FileExists(QStringLiteral("plain.txt")));
    writeFile(QStringLiteral("empty.txt"), "");
    QVERIFY(FileExists(QStringLiteral("empty.txt")));

    writeFile(QStringLiteral("locked.txt"), "x");
    QFile::setPermissions(QStringLiteral("locked.txt"), QFile::WriteOwner);
    if (::geteuid() == 0)
        QSKIP("root can read any file, so an unreadable file cannot be made here");
    QVERIFY(!FileExists(QStringLiteral("locked.txt")));
}

void TestRunner::namesMatchIgnoringCase()
{
    writeFile(QStringLiteral("Guide.txt"), "abc");
    QVERIFY(FileExists(QStringLiteral("guide.TXT")));
    QCOMPARE(resolveFileName(QStringLiteral("GUIDE.txt")), QStringLiteral("Guide.txt"));
    QCOMPARE(BigFileLen(QStringLiteral("guide.txt")), ByteCount::fromBytes(3));
    QVERIFY(deleteFile(QStringLiteral("GUIDE.TXT")));
    QVERIFY(!QFile::exists(QStringLiteral("Guide.txt")));
    // Deleting what is not there is not a failure.
    QVERIFY(deleteFile(QStringLiteral("Guide.txt")));

    // The folder's listing is kept between lookups: every change since, by this
    // program or another, shows at the next one.
    QCOMPARE(resolveFileName(QStringLiteral("fstat.txt")), QStringLiteral("fstat.txt"));
    QVERIFY(QProcess::execute(QStringLiteral("/bin/sh"), {"-c", "echo 1 > FSTAT.TXT"}) == 0);
    QCOMPARE(resolveFileName(QStringLiteral("fstat.txt")), QStringLiteral("FSTAT.TXT"));
    QVERIFY(QFile::rename(QStringLiteral("FSTAT.TXT"), QStringLiteral("FStat.Txt")));
    QCOMPARE(resolveFileName(QStringLiteral("fstat.txt")), QStringLiteral("FStat.Txt"));
    QCOMPARE(nameVariants(QStringLiteral("FSTAT.TXT")), QStringList{"FStat.Txt"});
    writeFile(QStringLiteral("fstat.TXT"), "2");
    QCOMPARE(nameVariants(QStringLiteral("fstat.txt")), (QStringList{"FStat.Txt", "fstat.TXT"}));
    QVERIFY(QFile::remove(QStringLiteral("FStat.Txt")));
    QVERIFY(QFile::remove(QStringLiteral("fstat.TXT")));
    QCOMPARE(resolveFileName(QStringLiteral("FSTAT.txt")), QStringLiteral("FSTAT.txt"));
}

void TestRunner::sizesPastFourGigabytes_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addRow("empty") << qint64(0);
    QTest::addRow("3 GiB") << qint64(3221225472);
    QTest::addRow("5 GiB") << qint64(5368709120);
}

void TestRunner::sizesPastFourGigabytes()
{
    QFETCH(qint64, size);
    QVERIFY(makeSparseFile(QStringLiteral("big.mpg"), size));
    QCOMPARE(BigFileLen(QStringLiteral("big.mpg")).toDouble(), double(size));
    // No read access is needed to measure.
    QFile::setPermissions(QStringLiteral("big.mpg"), QFileDevice::Permissions());
    QCOMPARE(BigFileLen(QStringLiteral("big.mpg")).toDouble(), double(size));
    QCOMPARE(BigFileLen(QStringLiteral("missing.mpg")), ByteCount());
    QVERIFY(QDir().mkdir(QStringLiteral("adir")));
    QCOMPARE(BigFileLen(QStringLiteral("adir")), ByteCount());
}

void TestRunner::sizeOfGrowingFile()
{
    // Another process holds the file open and keeps writing to it.
    QProcess writer;
    writer.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                        QStringLiteral("exec 3>grow.mpg; printf 12345 >&3; read line; "
                                                       "printf 67890 >&3; read line")});
    QVERIFY(writer.waitForStarted());
    QTRY_COMPARE(BigFileLen(QStringLiteral("grow.mpg")), ByteCount::fromBytes(5));
    writer.write("\n");
    QTRY_COMPARE(BigFileLen(QStringLiteral("grow.mpg")), ByteCount::fromBytes(10));
    writer.write("\n");
    writer.closeWriteChannel();
    QVERIFY(writer.waitForFinished());
}

void TestRunner::pauseReturnsAtOnceForNothingToWait_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addRow("zero") << "0";
    QTest::addRow("negative") << "-1";
    QTest::addRow("not a number") << "soon";
    QTest::addRow("empty") << "";
}

void TestRunner::pauseReturnsAtOnceForNothingToWait()
{
    QFETCH(QString, interval);
    bool handled = false;
    QTimer::singleShot(0, [&handled] { handled = true; });
    Pause(interval);
    // Returning at once means no event was handled.
    QVERIFY(!handled);
    QCoreApplication::processEvents();
    QVERIFY(handled);
}

void TestRunner::pauseHandlesEventsWhileWaiting()
{
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    Pause(QStringLiteral("0.5"));
    QVERIFY(clock.elapsed() >= 500);
    QVERIFY(ticks >= 5);
}

void TestRunner::renameNeverReplaces()
{
    writeFile(QStringLiteral("123.mpg"), "new");
    writeFile(QStringLiteral("Show_12 05 2003.mpg"), "old");
    QString error;
    QVERIFY(!renameNoReplace(QStringLiteral("123.mpg"), QStringLiteral("show_12 05 2003.MPG"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!renameNoReplace(QStringLiteral("123.mpg"), QStringLiteral("Show_12 05 2003.mpg")));
    QCOMPARE(readFile(QStringLiteral("Show_12 05 2003.mpg")), QByteArray("old"));
    QCOMPARE(readFile(QStringLiteral("123.mpg")), QByteArray("new"));
    QVERIFY(renameNoReplace(QStringLiteral("123.mpg"), QStringLiteral("Show_12 05 2003_01.mpg"), &error));
    QCOMPARE(readFile(QStringLiteral("Show_12 05 2003_01.mpg")), QByteArray("new"));
    QVERIFY(!QFile::exists(QStringLiteral("123.mpg")));
    QVERIFY(!renameNoReplace(QStringLiteral("gone.mpg"), QStringLiteral("other.mpg"), &error));
}

void TestRunner::recorderNames_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("usable"); // empty: never used as a path or an argument

    QTest::addRow("plain") << "1070683200.mpg" << "1070683200.mpg";
    QTest::addRow("trailing blanks") << "tb.mpg   " << "tb.mpg";
    QTest::addRow("blank inside") << "x.mpg -g" << "";
    QTest::addRow("leading blank") << " x.mpg" << "";
    QTest::addRow("option") << "-g" << "";
    QTest::addRow("quote") << "\".." << "";
    QTest::addRow("quotes only") << "\"\"" << "";
    QTest::addRow("parent") << ".." << "";
    QTest::addRow("only blanks") << "   " << "";
    QTest::addRow("up a folder") << "../x.mpg" << "";
    QTest::addRow("absolute") << "/etc/passwd" << "";
    QTest::addRow("backslash") << "..\\x.mpg" << "";
    QTest::addRow("tab") << "a\tb.mpg" << "";
    QTest::addRow("dots inside") << "a..b.mpg" << "a..b.mpg";
}

void TestRunner::recorderNames()
{
    QFETCH(QString, field);
    QFETCH(QString, usable);
    QCOMPARE(usableRecorderName(field), usable);
}

void TestRunner::stuckWaitedRunStopped_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("stuck");

    QTest::addRow("writes nothing, never ends") << QByteArray() << true;
    QTest::addRow("writes, then never ends") << QByteArray("part") << true;
    QTest::addRow("writes, then ends") << QByteArray("whole") << false;
}

void TestRunner::stuckWaitedRunStopped()
{
    QFETCH(QByteArray, written);
    QFETCH(bool, stuck);
    writeWritingTool(QStringLiteral("Helper"), written, stuck);
    StallLimits limits;
    limits.runningMs = 1000;

    const ToolRunResult run =
        ShellAndWait({QStringLiteral("Helper"), {"out.txt"}}, {QStringLiteral("out.txt"), limits});

    QCOMPARE(run.started, true);
    QCOMPARE(run.stalled, stuck);
    QCOMPARE(run.ranToEnd(), !stuck);
    QVERIFY(!stillRunning(QStringLiteral("out.txt.pid")));
    QCOMPARE(readFile(QStringLiteral("out.txt")), written); // the partial file is the caller's to judge
    QCOMPARE(m_messages->messages,
             stuck ? QStringList{"Helper out.txt was stopped: for 1 second it neither finished nor added to out.txt. "
                                 "What it left there is not used."}
                   : QStringList());
}

void TestRunner::endSignalEndsEveryTool_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addRow("SIGTERM") << int(SIGTERM);
    QTest::addRow("SIGINT") << int(SIGINT);
    QTest::addRow("SIGHUP") << int(SIGHUP);
}

void TestRunner::endSignalEndsEveryTool()
{
    QFETCH(int, signalNumber);
    // Two transfers under way, one waited for and one not, when the signal comes.
    writeWritingTool(QStringLiteral("Transfer"), "part", true);
    QList<int> ended;
    bool toolsGone = false;
    const EndOnSignal endOnSignal([&](int number) {
        ended << number;
        toolsGone = !stillRunning(QStringLiteral("waited.mpg.pid")) && !stillRunning(QStringLiteral("unwaited.mpg.pid"));
    });
    QProcess unwaited;
    QVERIFY(startTool(unwaited, {QStringLiteral("Transfer"), {"unwaited.mpg"}}).started);
    QTimer sender;
    connect(&sender, &QTimer::timeout, [&] {
        if (QFile::exists(QStringLiteral("waited.mpg.pid")) && QFile::exists(QStringLiteral("unwaited.mpg.pid"))) {
            sender.stop();
            ::kill(::getpid(), signalNumber);
        }
    });
    sender.start(20);

    const ToolRunResult waited = runToolAndWait({QStringLiteral("Transfer"), {"waited.mpg"}});

    QVERIFY(waited.started);
    QCOMPARE(ended, QList<int>{signalNumber});
    QVERIFY(toolsGone);
    QCOMPARE(unwaited.state(), QProcess::NotRunning);
    // Every file stays as the tools left it.
    QCOMPARE(readFile(QStringLiteral("waited.mpg")), QByteArray("part"));
    QCOMPARE(readFile(QStringLiteral("unwaited.mpg")), QByteArray("part"));
}

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
