// Files in the working folder, the log and how the viewer reads it, the tool
// runner, the stall rules, one title's transfer, and the command line.
#include "about/AppIdentity.h"
#include "archive/CopyInProgress.h"
#include "archive/SaveFolderSetting.h"
#include "archive/SavedRecords.h"
#include "download/LeftoverFile.h"
#include "download/SaveName.h"
#include "download/TitleTransfer.h"
#include "download/TransferCommand.h"
#include "fixity/FixityCheck.h"
#include "fixity/Manifest.h"
#include "fixity/Sha256.h"
#include "guide/GuideFile.h"
#include "guide/WorkingFiles.h"
#include "log/LogLines.h"
#include "log/LogWriter.h"
#include "runner/EndOnSignal.h"
#include "runner/FileNames.h"
#include "runner/StallWatch.h"
#include "runner/ToolRunner.h"
#include "settings/SettingsFile.h"
#include "startup/CommandLine.h"
#include "startup/WorkingFolder.h"

#include "TestSupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A tool in the working folder, as a shell script.
void writeScript(const QString &name, const QByteArray &body)
{
    writeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A tool that writes the bytes to the file its first argument names, then its
// process id to "$1.pid", and then ends or, when stuck, waits to be ended.
void writeWritingTool(const QString &name, const QByteArray &bytes, bool stuck)
{
    writeScript(name, "printf '" + bytes + "' > \"$1\"\necho $$ > \"$1.new\" && mv \"$1.new\" \"$1.pid\"\n"
                          + (stuck ? "exec sleep 20\n" : ""));
}

// Whether the process whose id the file holds still exists.
bool stillRunning(const QString &pidFile)
{
    const int pid = readFile(pidFile).trimmed().toInt();
    return pid > 0 && !(::kill(pid, 0) != 0 && errno == ESRCH);
}

// Puts what a row names under the name: "file" (holding the bytes), "folder",
// "fifo", "device" (a link to /dev/zero), "link" (to a plain file); else nothing.
void makeEntry(const QString &kind, const QString &name, const QByteArray &bytes)
{
    if (kind == "file")
        writeFile(name, bytes);
    else if (kind == "folder")
        QDir().mkpath(name);
    else if (kind == "fifo")
        ::mkfifo(QFile::encodeName(name).constData(), 0600);
    else if (kind == "device")
        QFile::link(QStringLiteral("/dev/zero"), name);
    else if (kind == "link") {
        writeFile(QStringLiteral("target"), bytes);
        QFile::link(QStringLiteral("target"), name);
    }
}

// A start request in one line: the window or the command with its options,
// and the folder it works in; or the status and what is printed.
QString summary(const StartRequest &r)
{
    if (r.opensWindow && r.output.isEmpty() && r.error.isEmpty() && r.exitStatus == 0)
        return (r.command.isEmpty() ? QStringLiteral("window") : r.command)
            + (r.titles.isEmpty() ? QString() : " titles " + r.titles.join(u'|')) + (r.dryRun ? " dry-run" : "")
            + (r.address ? " address " + *r.address : QString()) + (r.delay ? " delay " + *r.delay : QString())
            + (r.createFolder ? ", made if missing: " : ": ") + r.folder.toPercentEncoding("/~");
    // The help names the test program; its start is enough here.
    const QString printed = r.output.startsWith(u"Usage: ") ? QStringLiteral("Usage: ...") : r.output.trimmed();
    return QString::number(r.exitStatus) + ": " + printed + r.error;
}

// Starts the program itself as a shell does, with no display it could use
// (a start that tried to open a window fails on the missing platform instead
// of answering). Arguments pass through printf's %b, so a row can give any bytes.
void startProgram(QProcess &kelvado, const QStringList &arguments, const QString &program = KELVADO_PROGRAM)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    kelvado.setProcessEnvironment(environment);
    const QString script = "n=$#; for a; do set -- \"$@\" \"$(printf %b \"$a\")\"; done; shift $n; exec \"$0\" \"$@\"";
    kelvado.start("/bin/sh", QStringList{"-c", script, program} + arguments);
}

// The program's status, then what it printed: standard output, "|" and standard error.
// With `program` empty, the first argument names the program.
QString runProgram(QStringList arguments, const QString &program = KELVADO_PROGRAM)
{
    QProcess kelvado;
    startProgram(kelvado, program.isEmpty() ? arguments.mid(1) : arguments,
                 program.isEmpty() ? arguments.first() : program);
    if (!kelvado.waitForFinished(30000) || kelvado.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("did not end");
    return QString::number(kelvado.exitCode()) + ": " + kelvado.readAllStandardOutput() + '|'
           + kelvado.readAllStandardError();
}

} // namespace

class TestFilesAndRunner : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;

private slots:
    void initTestCase()
    {
        // As the program names itself before it reads its command line.
        QCoreApplication::setApplicationName(AppIdentity::kTitle);
        QCoreApplication::setApplicationVersion(AppIdentity::versionNumber());
    }

    void init()
    {
        m_dir = std::make_unique<ScratchDir>();
        m_messages = std::make_unique<MessageCapture>();
    }

    void cleanup()
    {
        // QTemporaryDir cannot remove the names that are not UTF-8 some tests make.
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), m_dir->path()});
        m_messages.reset();
        m_dir.reset();
    }

    void whatLiesUnderTheName_data()
    {
        QTest::addColumn<QString>("kind"); // made under "KELVADO.log"
        QTest::addColumn<qint64>("size");
        QTest::addRow("plain file") << "file" << qint64(11);
        QTest::addRow("5 GiB") << "file" << qint64(5368709120);
        QTest::addRow("nothing") << "" << qint64(0);
        QTest::addRow("a folder") << "folder" << qint64(0);
        // Neither may hold the program: one blocks an open, the other never ends.
        QTest::addRow("a FIFO") << "fifo" << qint64(0);
        QTest::addRow("a link to /dev/zero") << "device" << qint64(0);
    }

    // Whether a file is there and its size, reading it as the log, as a small
    // working file and as the viewer does, adding to the log, and removing it.
    void whatLiesUnderTheName()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        makeEntry(kind, QStringLiteral("KELVADO.log"), "first\r\nCaf\xe9");
        if (kind == "file") // past the bytes written, sparse: sizes past 4 GB cost no disk
            QVERIFY(QFile::resize(QStringLiteral("KELVADO.log"), size));
        const bool file = kind == "file", usable = file || kind.isEmpty();
        QCOMPARE(FileExists(QStringLiteral("kelvado.LOG")), file);
        QCOMPARE(BigFileLen(QStringLiteral("kelvado.LOG")), ByteCount::fromBytes(size));
        QCOMPARE(BigFileLen(QStringLiteral("kelvado.LOG")).toDouble(), double(size));
        QCOMPARE(ByteCount::fromDouble(double(size)), ByteCount::fromBytes(size));
        const TextFileRead read = readWorkingTextFile(QStringLiteral("Kelvado.log"), 11);
        using Status = TextFileRead::Status;
        QCOMPARE(read.status, file ? Status::Ok : kind.isEmpty() ? Status::Missing : Status::Unreadable);
        QCOMPARE(read.text, QString(file ? "first\r\nCafé" : ""));
        QString error;
        QCOMPARE(LogLines::open(kLogFileName, &error) != nullptr, file);
        QCOMPARE(error.isEmpty(), file);

        QCOMPARE(AppendToLog({"a", " "}, &error) && AppendToLog({"b"}, &error), usable);
        if (usable) {
            QFile log(resolveFileName(kLogFileName));
            QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(size));
            QCOMPARE(log.readAll(), "a\r\n \r\nb\r\n");
            // Measured afresh, with no read access needed.
            QFile::setPermissions(log.fileName(), QFileDevice::WriteOwner);
            QCOMPARE(BigFileLen(kLogFileName), ByteCount::fromBytes(size + 9));
        } else {
            QVERIFY2(error.startsWith("The log KELVADO.log could not be opened: "), qPrintable(error));
        }
        // Every spelling of the name goes, save a folder.
        writeFile(QStringLiteral("kelvado.log"), "old");
        QCOMPARE(removeWorkingFile(kLogFileName, &error), kind != "folder");
        QCOMPARE(workingDirEntries(), kind == "folder" ? QStringList{"KELVADO.log"} : QStringList());
    }

    void guideThatCannotBeReadToItsEnd()
    {
        // Reading a process's own memory at address 0 fails, as a failing disk would.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), QStringLiteral("Guide.txt")));
        const GuideFileRead read = readGuideFile(QStringLiteral("guide.TXT"), 2);
        QCOMPARE(read.status, GuideFileRead::Status::Unreadable);
        QVERIFY(!read.error.isEmpty());
    }

    void namesMatchIgnoringCase()
    {
        writeFile(QStringLiteral("Guide.txt"), "abc");
        QCOMPARE(resolveFileName(QStringLiteral("GUIDE.txt")), QStringLiteral("Guide.txt"));
        QVERIFY(deleteFile(QStringLiteral("GUIDE.TXT")));
        QVERIFY(!QFile::exists(QStringLiteral("Guide.txt")));
        QVERIFY(deleteFile(QStringLiteral("Guide.txt"))); // what is not there is gone already

        // The folder's listing is kept between lookups: every change since, by
        // this program or another, shows at the next one.
        QCOMPARE(resolveFileName(QStringLiteral("fstat.txt")), QStringLiteral("fstat.txt"));
        QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {"-c", "echo 1 > FSTAT.TXT"}), 0);
        QCOMPARE(resolveFileName(QStringLiteral("fstat.txt")), QStringLiteral("FSTAT.TXT"));
        QVERIFY(QFile::rename(QStringLiteral("FSTAT.TXT"), QStringLiteral("FStat.Txt")));
        writeFile(QStringLiteral("fstat.TXT"), "2");
        QCOMPARE(nameVariants(QStringLiteral("fstat.txt")), (QStringList{"FStat.Txt", "fstat.TXT"}));
        QCOMPARE(nameVariants(QStringLiteral("fstat.TXT")), (QStringList{"fstat.TXT", "FStat.Txt"}));
        QVERIFY(QFile::remove(QStringLiteral("FStat.Txt")) && QFile::remove(QStringLiteral("fstat.TXT")));
        QCOMPARE(resolveFileName(QStringLiteral("FSTAT.txt")), QStringLiteral("FSTAT.txt"));
    }

    void renameNeverReplaces()
    {
        writeFile(QStringLiteral("123.mpg"), "new");
        writeFile(QStringLiteral("Show_1.mpg"), "old");
        QString error;
        QVERIFY(!renameNoReplace(QStringLiteral("123.mpg"), QStringLiteral("show_1.MPG"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(saveNameTaken(QStringLiteral("SHOW_1.mpg")));
        QVERIFY(!saveNameTaken(QStringLiteral("Show_1_01.mpg")));
        QVERIFY(renameNoReplace(QStringLiteral("123.MPG"), QStringLiteral("Show_1_01.mpg"), &error));
        QCOMPARE(workingDirEntries(), (QStringList{"Show_1.mpg", "Show_1_01.mpg"}));
        QCOMPARE(readFile(QStringLiteral("Show_1.mpg")) + readFile(QStringLiteral("Show_1_01.mpg")), "oldnew");
        // In a save folder too, a name in another letter case is taken, and so is one a folder lies under.
        QVERIFY(QDir().mkpath(QStringLiteral("sub/Show_1.mpg")) && nameTakenIn(QStringLiteral("sub"))("SHOW_1.MPG"));
        QVERIFY(!renameNoReplace(QStringLiteral("gone.mpg"), QStringLiteral("other.mpg"), &error));
    }

    void savedRecordKeepsEveryLine_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("found"); // the path and time the record then gives for 1.mpg and the one noted
        QTest::addColumn<QByteArray>("over"); // then written over the record in place, keeping its inode
        const QByteArray first = "1.mpg\tFirst\t12/05/2003\t2026-12-01T20:15:00\t/srv/rec/First.mpg";
        const QString both = QStringLiteral("/srv/rec/First.mpg 2026-12-01T20:15:00|/srv/#2.mpg ");
        QTest::addRow("comments, other shapes, a later line, a damaged sum")
            << "# mine\r\nfour\tfields\tonly\tx\n1.mpg\tFirst\t12/05/2003\t2025\t/old\n" + first + "\tsha256:ab\n"
            << QString(both).replace("00|", "00 damaged|") << QByteArray();
        QTest::addRow("a sum in capitals, a seventh field")
            << first + "\tsha256:" + QByteArray("C0").repeated(32) + "\tlater\n" << QString(both).replace("00|", "00 c0c0|")
            << QByteArray();
        QTest::addRow("last line cut short, a path not absolute")
            << QByteArray("1.mpg\tFirst\t12/05/2003\t\tsrv/rec/First.mpg\n1.mpg\tFi") << "/srv/#2.mpg " << QByteArray();
        QTest::addRow("time in a daylight-saving gap") << QByteArray(first).replace("12-01T20", "03-29T02") + '\n'
                                                       << QString(both).replace("12-01T20", "03-29T02") << QByteArray();
        const QByteArray older = "0.mpg\tOlder\t11/05/2003\t2026-12-01T20:15:00\t/srv/rec/" + QByteArray(1000, 'o') + '\n';
        QTest::addRow("past 16 MiB, no end") << older.repeated(17 << 10) + first << both << QByteArray();
        QTest::addRow("CR ends only") << "# mine\r0.mpg\tOld\t1\t\t/o\r" + first + '\r' << both << QByteArray();
        QTest::addRow("half written, then finished") << first.chopped(6) << both << first + '\n';
        QTest::addRow("copied over in place, longer") << first + '\n' << "/srv/#2.mpg " << "# " + older;
    }

    // Noting a recording adds its line, every other line kept as it was; odd characters
    // escaped and read back, the second look reading only what was added.
    void savedRecordKeepsEveryLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, found);
        QFETCH(QByteArray, over);
        qputenv("TZ", "Europe/Berlin"); // where 02:00 to 03:00 of 2026-03-29 never was
        writeFile(SavedRecords::fileName(), before);
        SavedRecords read;
        const QSet<QByteArray> wanted{SavedRecords::key("1.mpg", "First", "12/05/2003"),
                                      SavedRecords::key("#2.mpg", "Tab\there\nnew \\", "12/05/2003")};
        read.update(wanted);
        if (!over.isEmpty())
            writeFile(SavedRecords::fileName(), before = over);
        QVERIFY(SavedRecords::note({"#2.mpg", "Tab\there\nnew \\", "12/05/2003", "", "/srv/#2.mpg"}));
        read.update(wanted);
        QCOMPARE(readFile(SavedRecords::fileName()), before + (before.endsWith('\n') ? "" : "\n")
                                                         + "\\#2.mpg\tTab\\there\\nnew \\\\\t12/05/2003\t\t/srv/#2.mpg\n");
        QStringList got;
        for (const SavedRecording &saved : read.recordings)
            got << saved.path + ' ' + saved.savedAt
                       + (saved.sumDamaged           ? QStringLiteral(" damaged")
                          : saved.sha256.isEmpty() ? QString()
                                                   : ' ' + saved.sha256.left(4));
        QCOMPARE(got.join(u'|'), found);
        read.update({SavedRecords::key("1.mpg", "First", "12/05/2003")}); // a new guide's rows, read for afresh
        QCOMPARE(read.recordings.size(), found.count(u'|')); // 1.mpg's entry alone, where it was found
    }

    void fileSumIsSha256sums_data()
    {
        QTest::addColumn<qint64>("size"); // -1: no such file, -2: a FIFO
        QTest::addColumn<bool>("stop");
        QTest::addRow("empty") << qint64(0) << false;
        QTest::addRow("a block and a byte") << qint64((1 << 20) + 1) << false;
        QTest::addRow("stopped") << qint64(3) << true;
        QTest::addRow("no such file") << qint64(-1) << false;
        QTest::addRow("a FIFO") << qint64(-2) << false;
    }

    // The sum is the one sha256sum gives, so any system can check what Kelvado recorded.
    void fileSumIsSha256sums()
    {
        QFETCH(qint64, size);
        QFETCH(bool, stop);
        QByteArray bytes;
        for (qint64 i = 0; i < size; ++i)
            bytes += char(i * 7919 >> 3);
        if (size >= 0)
            writeFile(QStringLiteral("T.mpg"), bytes);
        QVERIFY(size != -2 || ::mkfifo("T.mpg", 0600) == 0);
        const std::atomic_bool stopNow{stop};
        const FileSum sum = sumFile(QStringLiteral("T.mpg"), &stopNow);
        const bool whole = size >= 0 && !stop;
        QProcess sha256sum;
        sha256sum.start(QStringLiteral("sha256sum"), {whole ? QStringLiteral("T.mpg") : QStringLiteral("/dev/null")});
        QVERIFY(sha256sum.waitForFinished());
        QCOMPARE(sum.hex, whole ? sha256sum.readAllStandardOutput().left(64) : QByteArray());
        QCOMPARE(sum.bytes, whole ? size : 0);
        QCOMPARE(sum.stopped, stop);
        QCOMPARE(sum.error.isEmpty(), size >= 0);
    }

    // The folder's checksum list lists what was saved there with a sum, and sha256sum -c reads it.
    void manifestIsReadBySha256sum()
    {
        QVERIFY(QDir().mkpath(QStringLiteral("sub")));
        const QString here = QDir::currentPath() + u'/';
        QList<SavedRecording> saved;
        const QStringList names{"back\\slash.mpg", "new\nline.mpg", "car\rriage.mpg", "plain.mpg", "sub/a.mpg"};
        for (const QString &name : names) {
            writeFile(name, name.toUtf8());
            saved.append({name, name, "1", "", here + name, sumFile(name).hex});
        }
        saved.append({"unsummed", "u", "1", "", here + "unsummed.mpg"});
        writeFile(QStringLiteral("unsummed.mpg"), "u");
        writeFile(QStringLiteral("not saved.mpg"), "n");
        for (const SavedRecording &recording : std::as_const(saved))
            QVERIFY(SavedRecords::note(recording));
        QVERIFY(Manifest::write({}));
        QProcess check;
        check.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), QStringLiteral("--strict"), Manifest::fileName()});
        QVERIFY(check.waitForFinished());
        QCOMPARE(check.exitCode(), 0);
        QCOMPARE(check.readAllStandardOutput().count(": OK\n"), 4);
        QCOMPARE(readFile(Manifest::fileName()).count('\n'), 4);
    }

    // A line that cannot be written whole (a full disk; here a file size limit) leaves nothing of itself.
    void savedRecordNeverCutShort()
    {
        writeFile(SavedRecords::fileName(), "# mine\n");
        const auto signalWas = std::signal(SIGXFSZ, SIG_IGN);
        rlimit was{}, limit{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &was) == 0 && ::setrlimit(RLIMIT_FSIZE, &(limit = {20, was.rlim_max})) == 0);
        QString told;
        const bool noted = SavedRecords::note({"1.mpg", "T", "12/05/2003", {}, "/srv/T.mpg"}, &told);
        ::setrlimit(RLIMIT_FSIZE, &was);
        std::signal(SIGXFSZ, signalWas);
        QVERIFY2(!noted && told.contains(SavedRecords::fileName()), qPrintable(told));
        QCOMPARE(readFile(SavedRecords::fileName()), "# mine\n");
    }

    void ownFilesKeptSafe_data()
    {
        QTest::addColumn<QString>("name"); // made a link to a file first
        QTest::addColumn<QString>("saveFolder");
        QTest::addRow("log a link") << kLogFileName << "";
        QTest::addRow("settings a link") << "RPTVIP.dat" << "";
        QTest::addRow("save folder a link") << "SaveFolder.txt" << "/srv/rec";
        QTest::addRow("save folder a link, working folder chosen") << "SaveFolder.txt" << ".";
        QTest::addRow("record a link") << "SavedRecordings.txt" << "";
        QTest::addRow("save folder with a line break") << "" << "/srv/a\nb";
        QTest::addRow("save folder with a carriage return") << "" << "/srv/a\rb";
    }

    // Own files never written through a link; a save folder kept exactly or refused, saying why.
    void ownFilesKeptSafe()
    {
        QFETCH(QString, name);
        QFETCH(QString, saveFolder);
        makeEntry(name.isEmpty() ? "" : "link", name, "kept");
        QString told;
        QVERIFY(!(name == kLogFileName      ? AppendToLog({"a"}, &told)
                  : name == "RPTVIP.dat"    ? writeSettingsFile("10.0.0.5", "7", &told)
                  : !saveFolder.isEmpty()   ? writeSaveFolder(QDir(saveFolder).absolutePath(), &told)
                                            : SavedRecords::note({"1.mpg", "T", "12/05/2003", {}, "/srv/T.mpg"}, &told)));
        const char *why = name.isEmpty() ? "SaveFolder.txt: its name holds a line break" : ": it is a link";
        QVERIFY2(told.contains(name) && told.contains(why), qPrintable(told));
        QCOMPARE(readFile("target") + QFileInfo(name).symLinkTarget().toUtf8(),
                 name.isEmpty() ? "" : "kept" + QDir::current().absoluteFilePath("target").toUtf8());
        QCOMPARE(readSaveFolder(), QString());
        writeFile("SaveFolder.txt", "/srv/rec\r\n"); // as an editor may leave it
        QCOMPARE(readSaveFolder(), QStringLiteral("/srv/rec"));
    }

    void leftovers_data()
    {
        QTest::addColumn<QStringList>("present"); // kind:name
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("kept"); // from > to, or "refused"

        const QStringList refused{"refused"};
        QTest::addRow("nothing there") << QStringList() << "1.mpg" << QStringList();
        QTest::addRow("a partial file") << QStringList{"file:1.mpg"} << "1.mpg" << QStringList{"1.mpg > 1.mpg.kept-1"};
        QTest::addRow("first number taken in another case") << QStringList{"file:1.mpg", "file:1.MPG.KEPT-1"} << "1.mpg"
                                                            << QStringList{"1.mpg > 1.mpg.kept-2"};
        QTest::addRow("every letter case") << QStringList{"file:1.MPG", "file:1.mpg"} << "1.mpg"
                                           << QStringList{"1.mpg > 1.mpg.kept-1", "1.MPG > 1.MPG.kept-2"};
        QTest::addRow("Kelvado's own file") << QStringList{"file:Kelvado.LOG"} << "kelvado.log" << refused;
        QTest::addRow("a folder in its place") << QStringList{"folder:1.MPG"} << "1.mpg" << refused;
        QTest::addRow("a link to a plain file") << QStringList{"link:1.mpg"} << "1.mpg" << refused;
    }

    void leftovers()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, name);
        QFETCH(QStringList, kept);
        for (const QString &entry : present)
            makeEntry(entry.section(u':', 0, 0), entry.section(u':', 1), entry.toUtf8());
        const QStringList before = workingDirEntries();

        const NameClearing clearing = clearRecorderName(name);
        QStringList moved;
        for (const KeptFile &file : clearing.kept) {
            moved << file.fileName + " > " + file.keptAs;
            QCOMPARE(readFile(file.keptAs), "file:" + file.fileName.toUtf8()); // nothing lost
        }
        if (!clearing.refusal.isEmpty())
            moved << "refused";
        QCOMPARE(moved, kept);
        // Refused: nothing moved. Else nothing is left under the name.
        QCOMPARE(clearing.refusal.isEmpty() ? nameVariants(name) : workingDirEntries(),
                 clearing.refusal.isEmpty() ? QStringList() : before);
    }

    void leftoverCopiesAtStart_data()
    {
        QTest::addColumn<QString>("name"); // %1: this machine, %2: this run's number
        QTest::addColumn<bool>("locked");  // by a run that writes it
        QTest::addColumn<bool>("removed");
        QTest::addRow("a run that is gone") << ".kelvado-copy-2147483647@%1-a1B2c3" << false << true;
        QTest::addRow("its number in use again") << ".kelvado-copy-1@%1-a1B2c3" << false << true;
        QTest::addRow("a run still copying") << ".kelvado-copy-1@%1-a1B2c3" << true << false;
        QTest::addRow("this run's") << ".kelvado-copy-%2@%1-a1B2c3" << false << false;
        QTest::addRow("another machine's") << ".kelvado-copy-2147483647@%1x-a1B2c3" << false << false;
        QTest::addRow("without a run's number") << ".kelvado-copy-a1B2c3" << false << false;
        QTest::addRow("a recording") << "2147483647@%1-a1B2c3.mpg" << false << false;
        QTest::addRow("a run copying, number not here") << ".kelvado-copy-2147483647@%1-a1B2c3" << true << false;
        QTest::addRow("a fifo under such a name") << "fifo:.kelvado-copy-2147483647@%1-a1B2c3" << false << false;
    }

    void leftoverCopiesAtStart()
    {
        QFETCH(QString, name);
        QFETCH(bool, locked);
        QFETCH(bool, removed);
        const QString file = name.section(u':', -1).arg(QSysInfo::machineHostName()).arg(::getpid());
        std::optional<CopyInProgress> writer; // locked as a run writing it locks it
        CopyInProgress::setUnnamedRefused(true);
        const bool written = locked && writer.emplace(QDir::currentPath()).handle() >= 0;
        CopyInProgress::setUnnamedRefused(false);
        if (!written)
            makeEntry(name.contains(u':') ? name.section(u':', 0, 0) : "file", file, "part");
        QVERIFY(!written || QFile::rename(workingDirEntries().value(0), file));
        QCOMPARE(removeLeftoverCopies(QDir::currentPath()), removed ? 1 : 0);
        QCOMPARE(workingDirEntries(), removed ? QStringList() : QStringList{file});
    }

    void logLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        QTest::addRow("empty") << QByteArray() << QStringList();
        QTest::addRow("every line end, no last end") << QByteArray("one\ntwo\rthree\r\n\r\n\rlast")
                                                     << QStringList{"one", "two", "three", "", "", "last"};
        // Each line decoded by itself: one line's encoding does not spoil another's.
        QTest::addRow("lines in two code pages")
            << QByteArray("\xef\xbb\xbf" "Caf\xc3\xa9\r\nCaf\xe9\r\n\xef\xbb\xbfx")
            << QStringList{"Café", "Café", QStringLiteral("\uFEFFx")};
        // A line of any length costs no more than what a row shows of it.
        QTest::addRow("lines longer than a row shows")
            << "first\r\n" + QByteArray(5000, 'x') + "\r\n" + QByteArray(3999, 'y') + "\r\n" + QByteArray(20000, 'z')
            << QStringList{"first", QString(4000, u'x') + u'…', QString(3999, u'y'), QString(4000, u'z') + u'…'};
    }

    // The lines as the viewer reads the file, and as read a few bytes at a time
    // with a mark every two lines or five bytes.
    void logLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        writeFile(QStringLiteral("KELVADO.log"), bytes);
        QString error;
        const std::unique_ptr<LogLines> file = LogLines::open(kLogFileName, &error);
        QVERIFY2(file, qPrintable(error));
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(bytes);
        QVERIFY(buffer->open(QIODevice::ReadOnly));
        LogLines pieces(std::move(buffer), {3, 2, 5});
        for (LogLines *log : {file.get(), &pieces}) {
            QStringList read;
            while (!log->indexPiece()) {
                // Lines are there as soon as their end is read, before the rest.
                for (qint64 i = read.size(); i < log->count(); ++i)
                    read << log->text(i);
            }
            for (qint64 i = read.size(); i < log->count(); ++i)
                read << log->text(i);
            QCOMPARE(read, lines);
            QVERIFY(!log->readFailed());
            // Asked again, in another order, from the cache or the file.
            for (qint64 i = log->count() - 1; i >= 0; --i)
                QCOMPARE(log->text(i), lines.at(i));
        }
    }

    // The log loses its end after its lines were found: what is left of a line
    // shows, marked as cut, and no line shows more than there is.
    void logCutShortWhileShown()
    {
        auto buffer = std::make_unique<QBuffer>();
        QBuffer *log = buffer.get();
        log->setData("first\r\nsecond\r\nthird\r\n");
        QVERIFY(log->open(QIODevice::ReadOnly));
        LogLines lines(std::move(buffer));
        QVERIFY(lines.indexPiece());
        log->buffer().chop(12);
        QCOMPARE((QStringList{lines.text(0), lines.text(1), lines.text(2)}), (QStringList{"first", "sec…", ""}));
    }

    void missingProgramIsToldOnce()
    {
        QCOMPARE(ShellAndWait({QStringLiteral("NoSuchTool_kelvado"), {"1.2.3.4", "-g"}}).started, false);
        QCOMPARE(m_messages->messages.size(), 1);
        QVERIFY(m_messages->messages.first().contains(QStringLiteral("NoSuchTool_kelvado")));
        QCOMPARE(ShellAndWait({}).started, false);
        QCOMPARE(m_messages->messages.size(), 2);
    }

    void argumentsReachToolLiterally()
    {
        writeScript(QStringLiteral("Recorder"), "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n");
        // Each argument arrives whole, blanks and quotes included; none is split or dropped.
        const ToolCommand command{QStringLiteral("Recorder"),
                                  {"1.2.3.4;touch pwned", "$(id)", "|", "x.mpg -g", "\"..", "", "two  words "}};
        QVERIFY(ShellAndWait(command).ranToEnd());
        QCOMPARE(m_messages->messages, QStringList());
        QCOMPARE(readFile(QStringLiteral("args.txt")),
                 QByteArray("1.2.3.4;touch pwned\n$(id)\n|\nx.mpg -g\n\"..\n\ntwo  words \n"));
        QCOMPARE(command.text(), QStringLiteral("Recorder 1.2.3.4;touch pwned $(id) | x.mpg -g \"..  two  words "));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    }

    void workingFolderBeforeSearchPath()
    {
        // "sh" is on PATH; the one in the working folder must win, whatever bytes the folder's name holds.
        QVERIFY(::mkdir("caf\351", 0700) == 0 && ::chdir("caf\351") == 0);
        writeScript(QStringLiteral("sh"), "echo local > args.txt\n");
        QVERIFY(ShellAndWait({QStringLiteral("sh"), {}}).ranToEnd());
        QCOMPARE(readFile(QStringLiteral("args.txt")), QByteArray("local\n"));
    }

    void stuckWaitedRunStopped_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<qint64>("limitMs");
        QTest::addColumn<QString>("told"); // empty: the tool ends by itself

        const QString stopped = "Helper out.txt was stopped: for %1 it neither finished nor added to out.txt. What "
                                "it left there is not used.";
        QTest::addRow("writes nothing, never ends") << QByteArray() << qint64(1000) << stopped.arg("1 second");
        QTest::addRow("writes, then never ends") << QByteArray("part") << qint64(1500) << stopped.arg("2 seconds");
        QTest::addRow("writes, then ends") << QByteArray("whole") << qint64(1000) << "";
    }

    void stuckWaitedRunStopped()
    {
        QFETCH(QByteArray, written);
        QFETCH(qint64, limitMs);
        QFETCH(QString, told);
        const bool stuck = !told.isEmpty();
        writeWritingTool(QStringLiteral("Helper"), written, stuck);

        const ToolRunResult run =
            ShellAndWait({QStringLiteral("Helper"), {"out.txt"}}, {QStringLiteral("out.txt"), {5000, limitMs}});

        QCOMPARE(run.stalled, stuck);
        QCOMPARE(run.ranToEnd(), !stuck);
        QVERIFY(!stillRunning(QStringLiteral("out.txt.pid")));
        QCOMPARE(readFile(QStringLiteral("out.txt")), written); // the partial file is the caller's to judge
        QCOMPARE(m_messages->messages, stuck ? QStringList{told} : QStringList());
    }

    void endSignalEndsEveryTool_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addRow("SIGTERM") << int(SIGTERM);
        QTest::addRow("SIGINT") << int(SIGINT);
        QTest::addRow("SIGHUP") << int(SIGHUP);
    }

    void endSignalEndsEveryTool()
    {
        QFETCH(int, signalNumber);
        // Two transfers under way, one waited for and one not, when the signal comes.
        writeWritingTool(QStringLiteral("Transfer"), "part", true);
        QList<int> ended;
        bool toolsGone = false;
        const EndOnSignal endOnSignal([&](int number) {
            ended << number;
            toolsGone = !stillRunning("waited.mpg.pid") && !stillRunning("unwaited.mpg.pid");
        });
        QProcess unwaited;
        QVERIFY(startTool(unwaited, {QStringLiteral("Transfer"), {"unwaited.mpg"}}).started);
        QTimer sender;
        connect(&sender, &QTimer::timeout, [&] {
            if (QFile::exists("waited.mpg.pid") && QFile::exists("unwaited.mpg.pid")) {
                sender.stop();
                ::kill(::getpid(), signalNumber);
            }
        });
        sender.start(20);

        runToolAndWait({QStringLiteral("Transfer"), {"waited.mpg"}});

        QCOMPARE(ended, QList<int>{signalNumber});
        QVERIFY(toolsGone);
        QCOMPARE(unwaited.state(), QProcess::NotRunning);
        // Every file stays as the tools left it.
        QCOMPARE(readFile("waited.mpg") + readFile("unwaited.mpg"), "partpart");
    }

    void stallRules_data()
    {
        QTest::addColumn<QString>("polls");    // ms, size, and r while the tool runs or e once it has ended
        QTest::addColumn<QString>("verdicts"); // one a poll: . waiting, S stalled, s stopped short

        QTest::addRow("growing never stalls") << "0 0 r, 400 10 r, 800 20 r, 1200 30 r" << "....";
        QTest::addRow("running and quiet for the limit") << "0 5 r, 500 5 r, 1000 5 r" << "..S";
        QTest::addRow("running and quiet just short of it") << "0 5 r, 999 5 r" << "..";
        QTest::addRow("growth restarts the clock") << "0 5 r, 900 6 r, 1800 6 r, 1900 6 r" << "...S";
        QTest::addRow("shrinking counts as activity") << "0 5 r, 900 0 r, 1800 0 r" << "...";
        QTest::addRow("ended and quiet") << "0 5 e, 99 5 e, 100 5 e" << "..s";
        QTest::addRow("the end restarts the clock") << "0 5 r, 900 5 r, 950 5 e, 1000 5 e, 1050 5 e" << "....s";
    }

    void stallRules()
    {
        QFETCH(QString, polls);
        QFETCH(QString, verdicts);
        StallWatch watch({100, 1000}); // ended, running
        QString seen;
        for (const QString &poll : polls.split(", ")) {
            const QStringList values = poll.split(u' ');
            const StallVerdict verdict
                = watch.observe(values[0].toLongLong(), ByteCount::fromBytes(values[1].toLongLong()), values[2] == "r");
            seen += verdict == StallVerdict::Stalled ? 'S' : verdict == StallVerdict::StoppedShort ? 's' : '.';
        }
        QCOMPARE(seen, verdicts);
    }

    void transferOutcomes_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("waited");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<int>("result");
        QTest::addColumn<qint64>("size");

        using R = TitleTransfer::Result;
        QTest::addRow("complete after a while") << QByteArray("printf 12 > out.bin; sleep 0.3; printf 345 >> out.bin")
                                                << false << qint64(5) << int(R::Complete) << qint64(5);
        QTest::addRow("complete size, then more")
            << QByteArray("printf 12345 > out.bin; sleep 0.3; printf 67 >> out.bin") << false << qint64(5)
            << int(R::Larger) << qint64(7);
        QTest::addRow("ends short") << QByteArray("printf 12 > out.bin") << false << qint64(5) << int(R::StoppedShort)
                                    << qint64(2);
        QTest::addRow("stalls and is stopped") << QByteArray("printf 1234 > out.bin; exec sleep 60") << false
                                               << qint64(10) << int(R::Stalled) << qint64(4);
        QTest::addRow("unknown size, no file, waited") << QByteArray("exit 0") << true << qint64(0) << int(R::NoFile)
                                                       << qint64(0);
        // The file is there at once, but the title is done only when the tool has ended.
        QTest::addRow("unknown size, tool still writing")
            << QByteArray("printf 12 > out.bin; sleep 0.6; printf 34 >> out.bin") << false << qint64(0)
            << int(R::Complete) << qint64(4);
        // Without a size only the tool's own word tells a whole file from a part.
        QTest::addRow("unknown size, tool fails after a part") << QByteArray("printf 12 > out.bin; exit 3") << false
                                                               << qint64(0) << int(R::ToolFailed) << qint64(2);
        QTest::addRow("unknown size, tool killed, waited") << QByteArray("printf 12 > out.bin; kill -9 $$") << true
                                                           << qint64(0) << int(R::ToolFailed) << qint64(2);
    }

    void transferOutcomes()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, waited);
        QFETCH(qint64, expected);
        QFETCH(int, result);
        QFETCH(qint64, size);
        writeScript(QStringLiteral("tool"), script + '\n');
        TitleTransfer transfer({300, 2000});
        const ToolRunResult run = transfer.start({waited, {QStringLiteral("tool"), {}}}, QStringLiteral("out.bin"));
        QVERIFY2(run.started, qPrintable(run.error));
        if (waited)
            QVERIFY(!transfer.toolRunning());

        QList<qint64> shown;
        const TitleTransfer::Outcome outcome = transfer.watch(
            QStringLiteral("out.bin"), ByteCount::fromBytes(expected),
            [&shown](ByteCount now) { shown << now.tenThousandths / ByteCount::kScale; });
        QCOMPARE(int(outcome.result), result);
        QCOMPARE(outcome.size, ByteCount::fromBytes(size));
        QCOMPARE(QFileInfo(QStringLiteral("out.bin")).size(), size); // left as it arrived
        QVERIFY(!transfer.toolRunning());
        // Progress, growing to the last size, only for a known size.
        QCOMPARE(shown.isEmpty(), expected == 0);
        QCOMPARE(shown.value(shown.size() - 1, size), size);
        QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    }

    // Recorder names made safe, transfer command lines, start requests and the folder's short name.
    void namesAndCommands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        // Empty: never used as a path or an argument.
        QTest::addRow("recorder name: plain") << usableRecorderName("1070683200.mpg") << "1070683200.mpg";
        QTest::addRow("recorder name: trailing blanks") << usableRecorderName("tb.mpg   ") << "tb.mpg";
        QTest::addRow("recorder name: dots inside") << usableRecorderName("a..b.mpg") << "a..b.mpg";
        for (const char *unsafe : {"x.mpg -g", " x.mpg", "-g", "\"..", ".", "..", "   ", "../x.mpg", "/etc/passwd",
                                   "..\\x.mpg", "a\tb.mpg", "a\x01.mpg"})
            QTest::addRow("recorder name refused: %s", unsafe) << usableRecorderName(unsafe) << "";

        auto transfer = [](const QString &address, const QString &delay) {
            const TransferPlan plan = transferPlan(address, "1.mpg", delay);
            const QStringList words = QStringList{plan.command.program} + plan.command.arguments;
            return (plan.waited ? "waited: " : "") + words.join(u'|');
        };
        QTest::addRow("transfer: default") << transfer("1", "Default, 10 s") << "waited: Tolvane|1|-e|1.mpg";
        QTest::addRow("transfer: address as typed") << transfer(" 10.0.0.5 x", "Default")
                                                    << "waited: Tolvane| 10.0.0.5 x|-e|1.mpg";
        QTest::addRow("transfer: lower-case default is letters") << transfer("1", "default") << "Tolvane|1|-e|1.mpg|0";
        QTest::addRow("transfer: fraction") << transfer("1", "2.5") << "Tolvane|1|-e|1.mpg|2.5";
        QTest::addRow("transfer: trailing text dropped") << transfer("1", "12ms") << "Tolvane|1|-e|1.mpg|12";
        QTest::addRow("transfer: blank before Default") << transfer("1", " Default") << "Tolvane|1|-e|1.mpg|0";

        auto start = [](const QList<QByteArray> &arguments, const QString &videos = "/home/ann/Videos") {
            return summary(CommandLine::read(QList<QByteArray>{"kelvado"} + arguments, videos));
        };
        const QString menu = "window, made if missing: /home/ann/Videos/Kelvado";
        const QString version = "0: Kelvado " + AppIdentity::versionNumber();
        auto refused = [](const char *why) { return QStringLiteral("2: kelvado: %1 Try 'kelvado --help'.").arg(why); };
        QTest::addRow("start: no argument, the current folder") << start({}) << "window: ";
        QTest::addRow("start: folder") << start({"/srv/recordings"}) << "window: /srv/recordings";
        QTest::addRow("start: folder named like an option") << start({"--", "-old"}) << "window: -old";
        QTest::addRow("start: folder not in UTF-8") << start({"caf\xe9"}) << "window: caf%E9";
        QTest::addRow("start: desktop menu") << start({"--videos-folder"}) << menu;
        QTest::addRow("start: help") << start({"--help"}) << "0: Usage: ...";
        QTest::addRow("start: version") << start({"--version"}) << version;
        QTest::addRow("start: unknown option") << start({"--verbose"}) << refused("Unknown option 'verbose'.");
        QTest::addRow("start: a Qt option") << start({"-platform", "xcb"}) << refused("Unknown option 'platform'.");
        QTest::addRow("start: help all is not offered") << start({"--help-all"})
                                                        << refused("Unknown option 'help-all'.");
        QTest::addRow("start: two folders") << start({"a", "b"}) << refused("Give one folder only.");
        QTest::addRow("start: empty folder name") << start({""}) << refused("The folder name is empty.");
        QTest::addRow("start: folder and desktop menu") << start({"--videos-folder", "a"})
                                                        << refused("Give a folder or --videos-folder, not both.");
        QTest::addRow("start: no videos folder known") << start({"--videos-folder"}, "")
                                                       << refused("No videos folder is known for this user.");
        QTest::addRow("command: list") << start({"list"}) << "list: ";
        QTest::addRow("command: list in a folder") << start({"list", "rec"}) << "list: rec";
        QTest::addRow("command: a folder named like one") << start({"./list"}) << "window: ./list";
        QTest::addRow("command: only as the first word") << start({"rec", "list"}) << refused("Give one folder only.");
        QTest::addRow("command: archive's options")
            << start({"archive", "--title", "news", "--title=-x", "--dry-run", "--address", "10.0.0.9", "--delay",
                      "Default", "rec"})
            << "archive titles news|-x dry-run address 10.0.0.9 delay Default: rec";
        QTest::addRow("command: a value is no folder") << start({"archive", "--delay", "12", "-title", "list"})
                                                       << "archive titles list delay 12: ";
        QTest::addRow("command: archive in the videos folder")
            << start({"archive", "--videos-folder"}) << "archive, made if missing: /home/ann/Videos/Kelvado";
        QTest::addRow("command: list takes no archive option")
            << start({"list", "--dry-run"}) << "2: kelvado: Unknown option 'dry-run'. Try 'kelvado list --help'.";
        QTest::addRow("command: a value missing")
            << start({"archive", "--title"}) << "2: kelvado: Missing value after '--title'. Try 'kelvado archive --help'.";
        auto unusable = [](const char *why) {
            return QStringLiteral("2: kelvado: The --%1 Try 'kelvado archive --help'.").arg(why);
        };
        QTest::addRow("command: an empty title") << start({"archive", "--title="}) << unusable("title value is empty.");
        QTest::addRow("command: an address like an option")
            << start({"archive", "--address", "-e"}) << unusable("address value '-e' cannot be used.");
        QTest::addRow("command: an address of two lines")
            << start({"archive", "--address", "10.0.0.5\nx"}) << unusable("address value '10.0.0.5\nx' cannot be used.");
        QTest::addRow("command: a delay of words")
            << start({"archive", "--delay=soon"}) << unusable("delay value 'soon' is not a number or Default.");
        QTest::addRow("command: a delay in lower case")
            << start({"archive", "--delay", "default"}) << unusable("delay value 'default' is not a number or Default.");
        // What each help offers: the names of its options.
        auto optionsHelped = [](const QList<QByteArray> &arguments) {
            QStringList names;
            const StartRequest r = CommandLine::read(QList<QByteArray>{"kelvado"} + arguments + QList<QByteArray>{"--help"}, {});
            for (const QString &line : r.output.split(u'\n')) {
                if (line.trimmed().startsWith(u'-'))
                    names << line.trimmed().section(QStringLiteral("  "), 0, 0);
            }
            return names.join(u'|');
        };
        QTest::addRow("help: list") << optionsHelped({"list"}) << "-h, --help|-v, --version|--videos-folder";
        QTest::addRow("help: archive") << optionsHelped({"archive"})
                                       << "-h, --help|-v, --version|--videos-folder|--title <TEXT>|--dry-run|"
                                          "--address <A>|--delay <D>";
        // The menu's start must be one the program accepts, and work in the videos folder.
        const QByteArray entry = readFile(QStringLiteral(KELVADO_SOURCE_DIR "/data/org.kelvado.Kelvado.desktop"));
        const QList<QByteArray> exec = entry.mid(entry.indexOf("\nExec=") + 6).split('\n').value(0).split(' ');
        QTest::addRow("start: the desktop entry's program") << QString(exec.value(0)) << "kelvado";
        QTest::addRow("start: the desktop entry's options") << start(exec.mid(1)) << menu;

        QTest::addRow("short name: home itself") << shortFolderName("/home/ann", "/home/ann") << "~";
        QTest::addRow("short name: under home") << shortFolderName("/home/ann/Videos/K", "/home/ann") << "~/Videos/K";
        QTest::addRow("short name: home given with a slash") << shortFolderName("/home/ann/V", "/home/ann/") << "~/V";
        QTest::addRow("short name: a neighbour of home") << shortFolderName("/home/annb", "/home/ann") << "/home/annb";
        QTest::addRow("short name: home is the root") << shortFolderName("/srv/rec", "/") << "/srv/rec";
    }

    void namesAndCommands()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void enterFolder_data()
    {
        QTest::addColumn<QString>("made"); // kind:path, made in the scratch folder first
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("error"); // %1: the folder's full path

        const QString missing = QStringLiteral("kelvado: The folder '%1' does not exist.");
        QTest::addRow("existing folder") << "folder:rec" << "rec" << false << "";
        QTest::addRow("missing folder") << "" << "rec" << false << missing;
        QTest::addRow("a file") << "file:rec" << "rec" << false << "kelvado: '%1' is not a folder.";
        QTest::addRow("made on first use") << "" << "Videos/Kelvado" << true << "";
        QTest::addRow("already made") << "folder:Videos/Kelvado" << "Videos/Kelvado" << true << "";
        QTest::addRow("a file in the way") << "file:Videos" << "Videos/Kelvado" << true
                                           << "kelvado: Cannot create the folder '%1'.";
    }

    void enterFolder()
    {
        QFETCH(QString, made);
        QFETCH(QString, folder);
        QFETCH(bool, create);
        QFETCH(QString, error);
        makeEntry(made.section(u':', 0, 0), made.section(u':', 1), "x");
        const QString path = QDir(m_dir->path()).filePath(folder);

        QCOMPARE(enterWorkingFolder(QFile::encodeName(path), create), error.isEmpty() ? QString() : error.arg(path));
        QCOMPARE(QDir::currentPath(), QDir(error.isEmpty() ? path : m_dir->path()).canonicalPath());
        QCOMPARE(QFileInfo(path).isDir(), error.isEmpty());
    }

    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed"); // standard output, then "|" and standard error

        QTest::addRow("version") << QStringList{"--version"} << 0 << "Kelvado " + AppIdentity::versionNumber() + "\n|";
        // Qt takes this option and the word after it unless read first; "caf\351" is made as a FIFO.
        QTest::addRow("an option of Qt's") << QStringList{"-qmljsdebugger", "nowhere"} << 2
                                           << "|kelvado: Unknown option 'qmljsdebugger'. Try 'kelvado --help'.\n";
        QTest::addRow("a name not in UTF-8") << QStringList{"caf\\0351"} << 2
                                             << "|kelvado: 'caf\uFFFD' is not a folder.\n";
        QTest::addRow("archive without an address")
            << QStringList{"archive"} << 2 << "|kelvado: No recorder address: set one in the window or give --address.\n";
        QTest::addRow("list in a missing folder") << QStringList{"list", "nowhere"} << 2
                                                  << "|kelvado: The folder 'nowhere' does not exist.\n";
        QTest::addRow("a terminal's escape sequence") << QStringList{"--\\033[2J"} << 2
                                                      << "|kelvado: Unknown option '\\x1B[2J'. Try 'kelvado --help'.\n";
    }

    // The program itself, as startProgram() runs it.
    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, printed);
        ::mkfifo("caf\351", 0600); // decoded as UTF-8, its name would be missing
        const QStringList before = workingDirEntries();
        QCOMPARE(runProgram(arguments), QString::number(status) + ": " + printed);
        QCOMPARE(workingDirEntries(), before); // nothing written
    }

    void verify_data()
    {
        QTest::addColumn<QString>("change"); // made after the three recordings were saved, the third without a sum
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("verdicts"); // of the three, in the order saved; empty: none printed
        QTest::addColumn<QStringList>("told"); // on standard error, the folder's path left out
        const QString changed = "The file has changed since it was saved", gone = "No such file or directory";
        QTest::addRow("as saved") << "" << 0 << "ok ok unchecked" << QStringList();
        QTest::addRow("a byte flipped") << "flip" << 1 << "changed ok unchecked"
                                        << QStringList{"rec/One.mpg: " + changed};
        QTest::addRow("cut short") << "cut" << 1 << "changed ok unchecked" << QStringList{"rec/One.mpg: " + changed};
        QTest::addRow("deleted") << "delete" << 1 << "missing ok unchecked" << QStringList{"rec/One.mpg: " + gone};
        QTest::addRow("a damaged sum") << "damage" << 1 << "ok changed unchecked"
                                       << QStringList{"rec/Tab\\x09here.mpg: The sum recorded for it is damaged"};
        QTest::addRow("save folder gone")
            << "unplug" << 1 << "missing missing missing"
            << QStringList{"rec/One.mpg: " + gone, "rec/Tab\\x09here.mpg: " + gone, "rec/Three.mpg: " + gone};
        QTest::addRow("missing sums added") << "add" << 0 << "ok ok ok" << QStringList();
        QTest::addRow("missing sums added beside another's list") << "add, list" << 0 << "ok ok ok" << QStringList();
        QTest::addRow("output lost") << "full" << 1 << ""
                                     << QStringList{"Standard output cannot be written: No space left on device"};
        QTest::addRow("no record") << "forget" << 2 << ""
                                   << QStringList{"No record of saved recordings (SavedRecordings.txt) in '.'."};
    }

    // The program run as a shell runs it reads every saved file again, tells
    // each one's verdict and changes nothing but the sums it is asked to add.
    void verify()
    {
        QFETCH(QString, change);
        QFETCH(int, status);
        QFETCH(QString, verdicts);
        QFETCH(QStringList, told);
        QVERIFY(QDir().mkdir("rec"));
        const QStringList files{"rec/One.mpg", "rec/Tab\there.mpg", "rec/Three.mpg"};
        for (int i = 0; i < 3; ++i) {
            writeFile(files[i], QByteArray(3000 + i, char('a' + i)));
            QVERIFY(SavedRecords::note({QString::number(i + 1) + ".mpg", "T", "1", "",
                                        QDir::current().absoluteFilePath(files[i]),
                                        i < 2 ? sumFile(files[i]).hex : QByteArray()}));
        }
        if (change == "flip")
            writeFile(files[0], readFile(files[0]).replace(1500, 1, "b"));
        else if (change == "cut")
            QVERIFY(QFile::resize(files[0], 2999));
        else if (change == "delete")
            QVERIFY(QFile::remove(files[0]));
        else if (change == "unplug")
            QVERIFY(QDir("rec").removeRecursively());
        else if (change == "forget")
            QVERIFY(QFile::remove(SavedRecords::fileName()));
        else if (change == "damage")
            writeFile(SavedRecords::fileName(), readFile(SavedRecords::fileName()) + "2.mpg\tT\t1\t\t"
                                                    + escapedField(QDir::current().absoluteFilePath(files[1])).toUtf8()
                                                    + "\tsha256:0\n");
        else if (change == "add, list")
            writeFile("rec/SHA256SUMS", "0a  made-by-another.mpg\n");
        if (change.startsWith("add"))
            QCOMPARE(runProgram({"verify", "--add-missing-sums"}).section(u'|', 1),
                     (change == "add" ? "" : "kelvado: " + QDir::current().absoluteFilePath("rec")
                                                 + " held a SHA256SUMS Kelvado did not write; it is kept as "
                                                   "SHA256SUMS.kept-1.\n")
                         + "kelvado: Sums recorded: 1.\n");
        const QByteArray record = readFile(SavedRecords::fileName());
        const QString folder = QDir::currentPath();
        QDir::setCurrent("/"); // the folder given, not the current one
        QString printed = QString::number(status) + ": ";
        const QStringList each = verdicts.split(u' ', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < each.size(); ++i)
            printed += each[i] + '\t' + QString::number(i + 1) + ".mpg\t" + escapedField(files[i]) + '\n';
        if (!each.isEmpty())
            printed += QString::asprintf("%lld ok, %lld changed, %lld missing, %lld unchecked\n", each.count("ok"),
                                         each.count("changed"), each.count("missing"), each.count("unchecked"));
        printed += '|' + (told.isEmpty() ? QString() : "kelvado: " + told.join("\nkelvado: ") + '\n');
        const QStringList lost{"/bin/sh", "-c", "exec \"$0\" verify \"$1\" >/dev/full", KELVADO_PROGRAM, folder};
        QCOMPARE(runProgram(change == "full" ? lost : QStringList{"verify", folder}, change == "full" ? "" : KELVADO_PROGRAM)
                     .replace(folder + '/', "")
                     .replace(folder, "."),
                 printed);
        QDir::setCurrent(folder);
        QCOMPARE(readFile(SavedRecords::fileName()), record);
        if (change.startsWith("add") && QDir::setCurrent("rec")) // sha256sum checks what was summed
            QCOMPARE(runProgram({"sha256sum", "-c", "SHA256SUMS"}, "").count(": OK"), 3);
        QCOMPARE(readFile("SHA256SUMS.kept-1"), change == "add, list" ? "0a  made-by-another.mpg\n" : "");
    }

    void verifyEndedBySignal_data() { endSignalEndsEveryTool_data(); }

    // Ended while it reads, verify ends by the signal, records no sum and writes nothing.
    void verifyEndedBySignal()
    {
        QFETCH(int, signalNumber);
        writeFile("small.mpg", "s");
        writeFile("huge.mpg", {});
        QVERIFY(QFile::resize("huge.mpg", qint64(1) << 40)); // a hole: no room taken, yet long to read
        QVERIFY(SavedRecords::note({"1.mpg", "T", "1", "", QDir::current().absoluteFilePath("small.mpg")}));
        QVERIFY(SavedRecords::note(
            {"2.mpg", "T", "1", "", QDir::current().absoluteFilePath("huge.mpg"), QByteArray(64, '0')}));
        const QByteArray record = readFile(SavedRecords::fileName());
        const QStringList before = workingDirEntries();
        QProcess kelvado;
        startProgram(kelvado, {"verify", "--add-missing-sums"});
        QVERIFY(kelvado.waitForReadyRead(30000)); // small.mpg told: huge.mpg is being read
        ::kill(pid_t(kelvado.processId()), signalNumber);
        QVERIFY(kelvado.waitForFinished(30000));
        QCOMPARE(kelvado.exitStatus(), QProcess::CrashExit);
        QCOMPARE(kelvado.exitCode(), signalNumber);
        QCOMPARE(kelvado.readAllStandardOutput(),
                 "unchecked\t1.mpg\t" + QDir::current().absoluteFilePath("small.mpg").toUtf8() + '\n');
        QCOMPARE(readFile(SavedRecords::fileName()), record);
        QCOMPARE(workingDirEntries(), before);
    }

    // A save folder gone while it is verified: the file being read is read on, the rest told missing.
    void verifyWhileFolderGoes()
    {
        QVERIFY(QDir().mkdir("rec"));
        for (const QString name : {"rec/a.mpg", "rec/b.mpg"}) {
            writeFile(name, QByteArray(3 << 20, 'r'));
            QVERIFY(
                SavedRecords::note({name, "T", "1", "", QDir::current().absoluteFilePath(name), sumFile(name).hex}));
        }
        FixityCheck check(SavedRecords::loadAll().recordings, false);
        QStringList verdicts;
        connect(&check, &FixityCheck::checked, this,
                [&](const FixityResult &r) { verdicts << verdictName(r.verdict) + ' ' + r.reason; });
        const auto unplug = [](qint64 done) { (void)(done > 0 && QDir("rec").removeRecursively()); };
        connect(&check, &FixityCheck::progress, &check, unplug, Qt::DirectConnection); // on the check's thread
        QSignalSpy ended(&check, &FixityCheck::finished);
        check.start();
        QVERIFY(ended.wait());
        QCOMPARE(verdicts, (QStringList{"ok ", "missing No such file or directory"}));
        QCOMPARE(ended.first().first().toBool(), false);
    }
};

QTEST_GUILESS_MAIN(TestFilesAndRunner)
#include "tst_files_and_runner.moc"
