// The session, measuring and Get Guide without a window, against the
// simulated recorder with short waits: what each reports, in order, and the
// files, log lines and tool runs it leaves.
#include "archive/CopyInProgress.h"
#include "archive/DiskSpace.h"
#include "archive/SavedRecords.h"
#include "download/DownloadSession.h"
#include "fixity/Manifest.h"
#include "guide/GuideFetch.h"
#include "guide/GuideMessages.h"
#include "guide/RecordingMeasure.h"
#include "log/LogWriter.h"
#include "runner/EndOnSignal.h"
#include "startup/FolderLock.h"

#include "Recorder.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace sessiontest;

namespace {

const QString kFirstFile = QStringLiteral("1070683200.mpg");
const QString kSecondFile = QStringLiteral("1070686800.mpg");
const QString kFirstSave = QStringLiteral("First_12 05 2003.mpg");
const QString kSecondSave = QStringLiteral("Second_12 05 2003.mpg");
constexpr qint64 kFirstSize = 100000;
constexpr qint64 kSecondSize = 3000;

const SessionTiming kShort{0.05, 0.05, {300, 1500}};

QString guideTitle(const QString &title)
{
    return title.leftJustified(58);
}

QList<QueuedTitle> twoTitles(bool firstMeasured = true, const QString &firstName = kFirstFile)
{
    return {{0, firstName, guideTitle("First"), "12/05/2003", firstMeasured ? double(kFirstSize) : 0.0},
            {1, kSecondFile, guideTitle("Second"), "12/05/2003", double(kSecondSize)}};
}

// Everything a session reports, one line per report; progress is checked as it comes.
struct SessionRun
{
    QStringList events;
    QString endMessage;
    double lastProgress = -1;
    double expected = 0;

    SessionRun(QList<QueuedTitle> titles, const QString &delay,
               const std::function<void(DownloadSession &)> &prepare = {}, SessionTiming timing = kShort,
               const QString &saveFolder = {})
    {
        DownloadSession session(std::move(titles),
                                [delay, &saveFolder] { return Connection{"10.0.0.5", delay, saveFolder}; }, timing);
        auto add = [this](const QString &line) { events << line; };
        const auto text = [add](const QString &what) { return [add, what](const QString &s) { add(what + s); }; };
        QObject::connect(&session, &DownloadSession::sessionStarted, [add](double c) { add("start " + QString::number(c)); });
        QObject::connect(&session, &DownloadSession::statusChanged, text("status "));
        QObject::connect(&session, &DownloadSession::titleStarted, text("title "));
        QObject::connect(&session, &DownloadSession::saveNameChosen, text("save as "));
        QObject::connect(&session, &DownloadSession::messageForUser, text("tell "));
        QObject::connect(&session, &DownloadSession::titleSized, [this, add](double e, double c) {
            add(QStringLiteral("sized %1 of %2").arg(e).arg(c));
            expected = e;
            lastProgress = 0;
        });
        // Both counters are this title's and never below 0, also past its size.
        QObject::connect(&session, &DownloadSession::progress, [this](double current, double left, double leftNow) {
            QVERIFY(current >= lastProgress); // a file only grows
            QCOMPARE(left, std::max(expected - current, 0.0));
            QVERIFY(leftNow >= left);
            lastProgress = current;
        });
        QObject::connect(&session, &DownloadSession::titleOvershot, [add] { add("overshot"); });
        QObject::connect(&session, &DownloadSession::titleComplete,
                         [add](int row, double c) { add(QStringLiteral("complete %1, %2 left").arg(row).arg(c)); });
        QObject::connect(&session, &DownloadSession::titleFinished, [add](int row, const QString &name) {
            add(QStringLiteral("finished %1 %2").arg(row).arg(name));
        });
        QObject::connect(&session, &DownloadSession::titleFailed, [add](int row, const QString &r, double c, bool back) {
            add(QStringLiteral("failed %1 %2, %3 left%4").arg(row).arg(r).arg(c).arg(back ? ", taken back" : ""));
        });
        QObject::connect(&session, &DownloadSession::sessionEnded, [this, add](int saved, int failed, const QString &m) {
            add(QStringLiteral("ended %1 saved %2 failed").arg(saved).arg(failed));
            endMessage = m;
        });
        if (prepare)
            prepare(session);
        session.run();
    }
};

QStringList savedTitleEvents(int row, const QString &fileName, const QString &saveName, qint64 size, double before,
                             bool copied = false)
{
    return QStringList{"title " + fileName, QStringLiteral("sized %1 of %2").arg(size).arg(before),
                       "status Downloading ", "save as " + saveName,
                       QStringLiteral("complete %1, %2 left").arg(row).arg(before - double(size)),
                       "status Renaming Mpeg"}
         + (copied ? QStringList{"status Copying to save folder 100%"} : QStringList())
         + QStringList{QStringLiteral("finished %1 %2").arg(row).arg(saveName)};
}

// A save folder as a row names it: "" the working folder, "disk" a file system of its own.
QString saveFolderFor(const QString &row, const QString &otherDisk)
{
    if (row.isEmpty() || row == "disk")
        return row.isEmpty() ? QString() : otherDisk;
    QDir().mkdir(row);
    return QDir::current().absoluteFilePath(row);
}

// The program as a shell starts it in the folder, with no display to use.
QProcess *startKelvado(QProcess &kelvado, const QStringList &arguments, const QString &folder = QDir::currentPath(),
                       const QString &platform = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    kelvado.setProcessEnvironment(environment);
    kelvado.setWorkingDirectory(folder);
    kelvado.start(KELVADO_PROGRAM, arguments);
    return &kelvado;
}

struct CommandRun
{
    int status = -1;
    QString out, err;
};

CommandRun runKelvado(const QStringList &arguments, const QString &folder = QDir::currentPath())
{
    QProcess kelvado, reader;
    QStringList given = arguments; // may name where standard output goes
    if (given.removeOne(">/dev/full"))
        kelvado.setStandardOutputFile("/dev/full");
    if (given.removeOne(">&-"))
        kelvado.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    if (given.removeOne("| reader gone")) {
        kelvado.setStandardOutputProcess(&reader);
        reader.start("true");
    }
    startKelvado(kelvado, given, folder)->waitForFinished(60000);
    return {kelvado.exitStatus() == QProcess::NormalExit ? kelvado.exitCode() : -1,
            QString::fromUtf8(kelvado.readAllStandardOutput()), QString::fromUtf8(kelvado.readAllStandardError())};
}

void writeAddress(const QString &folder = QStringLiteral("."))
{
    writeFile(folder + "/RPTVIP.dat", "\"10.0.0.5\",\"Default\"\r\n");
}

// What `sha256sum -c --strict` says of the folder's checksum list, with its status.
QString checkedBySha256sum(const QString &folder)
{
    QProcess check;
    check.setWorkingDirectory(folder);
    check.start("sha256sum", {"-c", "--strict", Manifest::fileName()});
    check.waitForFinished();
    return QString::fromUtf8(check.readAll()) + QString::number(check.exitCode());
}

} // namespace

class TestSessionEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void twoTitlesSaved_data();
    void twoTitlesSaved();
    void saveFolderChosenDuringSession();
    void roomBeforeTransfer_data();
    void roomBeforeTransfer();
    void bindMountIsAnotherPlace();
    void copyAcrossFileSystems_data();
    void copyAcrossFileSystems();
    void firstTitleFails_data();
    void firstTitleFails();
    void leftoverUnderRecorderName_data();
    void leftoverUnderRecorderName();
    void renameRefused();
    void logUnwritable();
    void fullQueue();
    void measuring_data();
    void measuring();
    void fileStatInTheWay();
    void guideFetch_data();
    void guideFetch();
    void archiveCommand_data();
    void archiveCommand();
    void folderHeldAlone_data();
    void folderHeldAlone();

private:
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_told;
    std::unique_ptr<Recorder> m_recorder;
};

void TestSessionEngine::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_told = std::make_unique<MessageCapture>();
    m_recorder = std::make_unique<Recorder>();
    m_recorder->setCatalog({{"First", kFirstFile, kFirstSize}, {"Second", kSecondFile, kSecondSize}});
    writeFile(kLogFileName, {});
}

void TestSessionEngine::cleanup()
{
    m_recorder.reset();
    m_told.reset();
    m_dir.reset();
}

void TestSessionEngine::twoTitlesSaved_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("listBefore"); // a checksum list already in the folder
    QTest::addRow("working folder") << "" << QByteArray();
    QTest::addRow("save folder beside it") << "archive" << QByteArray();
    QTest::addRow("save folder on another file system") << "disk" << QByteArray();
    QTest::addRow("checksum list of another program")
        << "archive" << QByteArray("0a  " + kFirstSave.toUtf8() + '\n');
    // An empty list behind a link: Kelvado's own, but never written through.
    QTest::addRow("checksum list that cannot be written") << "archive" << QByteArray("link");
}

void TestSessionEngine::twoTitlesSaved()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, listBefore);
    const OtherDisk disk(qint64(16) << 20);
    const QString saveFolder = saveFolderFor(folder, disk.path());
    if (folder == "disk" && saveFolder.isEmpty())
        QSKIP("no second file system to be had here");
    // Nothing is replaced: the first title takes the next free name in the save folder.
    const QString firstSave = "First_12 05 2003_01.mpg";
    writeFile(inFolder(saveFolder, kFirstSave), "earlier");
    const QString list = inFolder(saveFolder, Manifest::fileName());
    const QTemporaryDir outside;
    const bool linked = listBefore == "link";
    if (linked) {
        writeFile(outside.filePath("empty"), {});
        QVERIFY(QFile::link(outside.filePath("empty"), list));
    } else if (!listBefore.isEmpty())
        writeFile(list, listBefore);
    const double tagged = kFirstSize + kSecondSize;
    SessionRun run(twoTitles(), "7", {}, kShort, saveFolder);

    const QStringList expected =
        QStringList{"start " + QString::number(tagged)}
        + savedTitleEvents(0, kFirstFile, firstSave, kFirstSize, tagged, folder == "disk")
        + savedTitleEvents(1, kSecondFile, kSecondSave, kSecondSize, kSecondSize, folder == "disk")
        + QStringList{"status Session End", "ended 2 saved 0 failed"};
    QCOMPARE(run.events, expected);
    const QString where = QDir::toNativeSeparators(QDir::current().absoluteFilePath(saveFolder));
    const QString unwritten = "The checksum list " + list + " could not be written: %1; the recordings saved in "
                              + where + " are in the record with their sums.";
    if (linked) // said once for both titles
        QCOMPARE(run.endMessage, unwritten.arg(run.endMessage.section(": ", 1).section("; the", 0, 0)));
    else
        QCOMPARE(run.endMessage, listBefore.isEmpty() ? QString()
                                                 : where + " held a SHA256SUMS Kelvado did not write; it is kept as "
                                                           "SHA256SUMS.kept-1.");
    QCOMPARE(readFile(list + ".kept-1"), linked ? QByteArray() : listBefore);
    // Exactly the saved titles are listed, with the sums of the bytes saved.
    if (!linked)
        QCOMPARE(checkedBySha256sum(inFolder(saveFolder, ".")), firstSave + ": OK\n" + kSecondSave + ": OK\n0");
    QCOMPARE(run.lastProgress, double(kSecondSize));
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, "7"), tolvane(kSecondFile, "7")}));
    QCOMPARE(readFile(inFolder(saveFolder, kFirstSave)), QByteArray("earlier"));
    QCOMPARE(readFile(inFolder(saveFolder, firstSave)), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(inFolder(saveFolder, kSecondSave)), recordingBytes(kSecondFile, kSecondSize));
    const QStringList lists =
        QStringList{"SHA256SUMS"} + (listBefore.isEmpty() || linked ? QStringList() : QStringList{"SHA256SUMS.kept-1"});
    const QStringList saved = QStringList{kFirstSave, firstSave, kSecondSave} + lists;
    const QStringList records{kLogFileName, SavedRecords::fileName()};
    QCOMPARE(QDir(inFolder(saveFolder, ".")).entryList(QDir::Files | QDir::Hidden),
             folder.isEmpty() ? (QStringList{kFirstSave, firstSave, kLogFileName, records[1], kSecondSave} + lists)
                              : saved);
    if (!folder.isEmpty())
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), records);
    const QStringList listKept =
        listBefore.isEmpty() ? QStringList() : QStringList{firstSave + " Checksums: " + run.endMessage};
    QCOMPARE(sessionLog(),
             sessionHeader() + titleLog(firstSave, "7") + listKept + titleLog(kSecondSave, "7") + sessionEnd());
    const SavedRecords marks = SavedRecords::load({SavedRecords::key(kFirstFile, guideTitle("First"), "12/05/2003"),
                                                   SavedRecords::key(kSecondFile, guideTitle("Second"), "12/05/2003")});
    QVERIFY(marks.recordings.size() == 2 && QDateTime::fromString(marks.recordings[0].savedAt, Qt::ISODate).isValid());
    QCOMPARE(marks.recordings[0].path, QDir::current().absoluteFilePath(inFolder(saveFolder, firstSave)));
}

void TestSessionEngine::saveFolderChosenDuringSession()
{
    // A folder chosen while a title downloads applies from the next title on.
    const QString archive = saveFolderFor("archive", {});
    QString folder;
    const auto chooseDuringFirst = [&](DownloadSession &session) {
        QObject::connect(&session, &DownloadSession::progress, [&] { folder = archive; });
    };
    SessionRun run(twoTitles(), "7", chooseDuringFirst, kShort, folder);
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(inFolder(archive, kSecondSave)), recordingBytes(kSecondFile, kSecondSize));
}

void TestSessionEngine::roomBeforeTransfer_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<qint64>("workingFree"); // -1: the disks as they are
    QTest::addColumn<qint64>("saveFree");
    QTest::addColumn<QString>("reason"); // the first title's; the second fits unless the folder is gone or read-only
    QTest::addRow("working folder short") << "" << qint64(50000) << qint64(0)
                                          << "not enough space: 100.0 kB needed, 50.0 kB free in %1";
    // The working folder holds one recording at a time; the save folder is short.
    QTest::addRow("save folder elsewhere short") << "archive" << kFirstSize << qint64(50000)
                                                 << "not enough space: 100.0 kB needed, 50.0 kB free in %1";
    QTest::addRow("save folder gone") << "gone" << qint64(-1) << qint64(-1)
                                      << "save folder not available: %1 (No such file or directory)";
    QTest::addRow("save folder read-only") << "read-only" << qint64(-1) << qint64(-1)
                                           << "save folder not available: %1 (Read-only file system)";
}

void TestSessionEngine::roomBeforeTransfer()
{
    QFETCH(QString, folder);
    QFETCH(qint64, workingFree);
    QFETCH(qint64, saveFree);
    QFETCH(QString, reason);
    const QString saveFolder = saveFolderFor(folder, {});
    if (folder == "gone")
        QDir().rmdir(folder);
    const QByteArray mounted = QFile::encodeName(saveFolder);
    if (folder == "read-only"
        && (::mount(mounted, mounted, nullptr, MS_BIND, nullptr) != 0
            || ::mount(nullptr, mounted, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0))
        QSKIP("no read-only mount to be had here");
    if (workingFree >= 0)
        setDiskProbe([=](const QString &f) {
            return DiskState{true, f.isEmpty() ? 1u : 2u, f.isEmpty() ? workingFree : saveFree, {}, 1};
        });
    SessionRun run(twoTitles(), "7", {}, kShort, saveFolder);
    setDiskProbe({});
    if (folder == "read-only")
        ::umount2(mounted, MNT_DETACH);

    const QString where = QDir::current().absoluteFilePath(folder);
    const QString failed = reason.arg(folder.isEmpty() ? QDir::currentPath() : where);
    // What is shown for the file is the failed title's, and its bytes stay left.
    const double tagged = kFirstSize + kSecondSize;
    const qsizetype sized = run.events.indexOf(QStringLiteral("sized %1 of %2").arg(kFirstSize).arg(tagged));
    QCOMPARE(run.events.mid(sized, 4).constLast(), QStringLiteral("failed 0 %1, %2 left").arg(failed).arg(tagged));
    const bool secondFits = folder != "gone" && folder != "read-only";
    QCOMPARE(m_recorder->journal(), secondFits ? QStringList{tolvane(kSecondFile, "7")} : QStringList());
    QCOMPARE(readFile(inFolder(saveFolder, kSecondSave)).size(), secondFits ? kSecondSize : 0);
    QCOMPARE(run.events.constLast(), secondFits ? "ended 1 saved 1 failed" : "ended 0 saved 2 failed");
}

void TestSessionEngine::bindMountIsAnotherPlace()
{
    // A rename between two mounts of one file system fails: the room is judged as for a copy.
    QVERIFY(QDir().mkdir("a") && QDir().mkdir("b"));
    const QByteArray a = QFile::encodeName(QDir::current().absoluteFilePath("a"));
    const QByteArray b = QFile::encodeName(QDir::current().absoluteFilePath("b"));
    if (::mount(a.constData(), b.constData(), nullptr, MS_BIND, nullptr) != 0)
        QSKIP("no bind mount to be had here");
    const DiskState inA = diskOf("a"), inB = diskOf("b");
    ::umount2(b.constData(), MNT_DETACH);
    QCOMPARE(inA.device, inB.device);
    QVERIFY(inA.mount != inB.mount);
}

void TestSessionEngine::copyAcrossFileSystems_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason"); // %1: the other disk; empty: saved
    QTest::addRow("disk full") << "full" << "no space left on %1";
    QTest::addRow("disk full, no unnamed files") << "full, named" << "no space left on %1";
    QTest::addRow("download readable by all") << "" << "";
    QTest::addRow("download replaced while copied") << "replaced" << "";
    QTest::addRow("download written into while copied") << "rewritten" << "";
    QTest::addRow("copy differs from the download's sum") << "other sum" << "copy in %1 differs from the download";
    // vfat, exFAT and network shares have no unnamed files: the copy is named while it is made.
    QTest::addRow("ended by a signal, no unnamed files")
        << "signal" << "not renamed: %1/" + kFirstSave + ": No such file or directory";
}

void TestSessionEngine::copyAcrossFileSystems()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    OtherDisk disk(fault.startsWith("full") ? 64 * 1024 : 1 << 20);
    if (disk.path().isEmpty() || (fault.startsWith("full") && !disk.sized()))
        QSKIP("no second file system of a set size to be had here");
    const QByteArray recording = recordingBytes(kFirstFile, 300000);
    writeFile(kFirstFile, recording);
    ::chmod(QFile::encodeName(kFirstFile).constData(), 0644);
    CopyInProgress::setUnnamedRefused(fault == "signal" || fault == "full, named");
    QStringList atEnd{"not ended"};
    const EndOnSignal endOnSignal([&](int) { atEnd = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden); });
    const QByteArray sum =
        QCryptographicHash::hash(fault == "other sum" ? "other" : recording, QCryptographicHash::Sha256);
    const MoveResult result = moveIntoFolder(kFirstFile, disk.path(), kFirstSave, sum.toHex(), [&](qint64, qint64) {
        if ((fault == "replaced" && QFile::rename(kFirstFile, "read")) || fault == "rewritten")
            writeFile(kFirstFile, "new");
        if (fault == "signal") {
            ::kill(::getpid(), SIGTERM);
            QTRY_VERIFY(atEnd != QStringList{"not ended"}); // ended while the copy is made
        }
    });
    CopyInProgress::setUnnamedRefused(false);

    QCOMPARE(result.reason, reason.isEmpty() ? reason : reason.arg(disk.path()));
    QCOMPARE(result.note.isEmpty(), !fault.startsWith("re")); // replaced, rewritten
    QCOMPARE(readFile(kFirstFile), fault.startsWith("re") ? QByteArray("new") : result.moved ? QByteArray() : recording);
    QCOMPARE(atEnd, fault == "signal" ? QStringList() : QStringList{"not ended"});
    const QString saved = inFolder(disk.path(), kFirstSave);
    QCOMPARE(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             result.moved ? QStringList{kFirstSave} : QStringList());
    struct stat st = {};
    QCOMPARE(::stat(QFile::encodeName(saved).constData(), &st) == 0 ? st.st_mode & 0777 : 0, result.moved ? 0644u : 0);
    QCOMPARE(readFile(saved), result.moved ? recording : QByteArray());
}

void TestSessionEngine::firstTitleFails_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<bool>("measured");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("reason"); // empty: saved without a size to check
    QTest::addColumn<qint64>("partial"); // bytes left under the recorder's name; -1: no file

    for (const QString delay : {"Default", "10"}) {
        const QByteArray form = delay == "Default" ? "waited" : "unwaited";
        QTest::addRow("stall, %s", form.data()) << QByteArray("hang:70000") << true << delay << "stalled"
                                                << qint64(70000);
        QTest::addRow("early exit, %s", form.data()) << QByteArray("stop:65000") << true << delay
                                                     << "stopped short" << qint64(65000);
        QTest::addRow("no file, %s", form.data()) << QByteArray("exit") << true << delay << "stopped short"
                                                  << qint64(-1);
        QTest::addRow("larger, %s", form.data()) << QByteArray("oversize:10") << true << delay
                                                 << "larger than expected" << kFirstSize + 10;
        QTest::addRow("unmeasured, no file, %s", form.data()) << QByteArray("exit") << false << delay
                                                              << "no file received" << qint64(-1);
        // Without a size, only the tool's status tells a part from the whole.
        QTest::addRow("unmeasured, tool fails after a part, %s", form.data())
            << QByteArray("fail:65000") << false << delay << "transfer tool ended with status 1" << qint64(65000);
        QTest::addRow("unmeasured, saved, %s", form.data()) << QByteArray() << false << delay << QString()
                                                            << qint64(-1);
    }
}

void TestSessionEngine::firstTitleFails()
{
    QFETCH(QByteArray, fault);
    QFETCH(bool, measured);
    QFETCH(QString, delay);
    QFETCH(QString, reason);
    QFETCH(qint64, partial);
    if (!fault.isEmpty())
        m_recorder->setFault(fault, kFirstFile);
    const double tagged = kSecondSize + (measured ? kFirstSize : 0);

    QList<int> runsWhenSized;
    SessionRun run(twoTitles(measured), delay, [&](DownloadSession &session) {
        QObject::connect(&session, &DownloadSession::titleSized, [&] { runsWhenSized << m_recorder->journal().size(); });
    });

    const QString number = delay == "Default" ? QString() : delay;
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kFirstSave, delay, reason)
                                            + titleLog(kSecondSave, delay) + sessionEnd());
    QCOMPARE(run.events.constLast(), QStringLiteral("ended %1 saved %2 failed").arg(reason.isEmpty() ? 2 : 1)
                                         .arg(reason.isEmpty() ? 0 : 1));
    if (reason.isEmpty()) {
        QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
        QCOMPARE(run.endMessage, uncheckedMessage({kFirstSave + " (" + kFirstFile + ")"}));
        return;
    }
    // The failed title stays ticked: its bytes are left after the second is saved.
    QVERIFY(run.events.contains(QStringLiteral("failed 0 %1, %2 left").arg(reason).arg(tagged)));
    QVERIFY(run.events.contains(QStringLiteral("complete 1, %1 left").arg(tagged - kSecondSize)));
    if (delay == "Default") // "This File Left" is each title's before its tool runs
        QCOMPARE(runsWhenSized, (QList<int>{0, 1}));
    QVERIFY(run.events.contains("status Failed: " + reason));
    QCOMPARE(run.events.contains("overshot"), reason == "larger than expected");
    QCOMPARE(run.endMessage, failureMessage({failedLine(kFirstSave, kFirstFile, reason)}));
    QCOMPARE(QFile::exists(kFirstSave), false);
    if (partial >= 0)
        QCOMPARE(QFileInfo(kFirstFile).size(), partial);
    else
        QVERIFY(!QFile::exists(kFirstFile));
}

void TestSessionEngine::leftoverUnderRecorderName_data()
{
    QTest::addColumn<QString>("recorderName");
    QTest::addColumn<QStringList>("before"); // entries made first: "name" a file, "name/" a folder, "name@" a link
    QTest::addColumn<QString>("reason");     // empty: kept aside, then saved
    QTest::addColumn<QStringList>("keptAs");
    QTest::addColumn<bool>("toolRan");

    QTest::addRow("partial of a killed session") << kFirstFile << QStringList{kFirstFile} << QString()
                                                 << QStringList{kFirstFile + ".kept-1"} << true;
    QTest::addRow("a link to a file outside") << kFirstFile << QStringList{kFirstFile + "@"}
                                              << kFirstFile + " is in the folder and is not a plain file"
                                              << QStringList() << false;
    for (const QString own : {"kelvado.log", "savedrecordings.TXT"})
        QTest::addRow("%s", qPrintable(own)) << own << QStringList()
                                             << "the recorder's file name is one of Kelvado's own files"
                                             << QStringList() << false;
    // The rest of the name rules and leftovers: tst_files_and_runner.
    QTest::addRow("an option") << "-g" << QStringList() << "unsafe recorder file name" << QStringList() << false;
}

void TestSessionEngine::leftoverUnderRecorderName()
{
    QFETCH(QString, recorderName);
    QFETCH(QStringList, before);
    QFETCH(QString, reason);
    QFETCH(QStringList, keptAs);
    QFETCH(bool, toolRan);
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath("precious");
    writeFile(outsideFile, "precious");
    for (const QString &entry : before) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkdir(entry.chopped(1)));
        else if (entry.endsWith('@'))
            QVERIFY(QFile::link(outsideFile, entry.chopped(1)));
        else
            writeFile(entry, entry.toUtf8());
    }

    SessionRun run(twoTitles(true, recorderName), "Default");

    QCOMPARE(m_recorder->journal(),
             (toolRan ? QStringList{tolvane(kFirstFile)} : QStringList()) + QStringList{tolvane(kSecondFile)});
    QCOMPARE(readFile(outsideFile), QByteArray("precious"));
    QCOMPARE(QFile::exists(kFirstSave), reason.isEmpty());
    for (int i = 0; i < keptAs.size(); ++i)
        QCOMPARE(readFile(keptAs.at(i)), before.at(i).toUtf8());
    if (reason.isEmpty()) {
        QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
        QStringList kept{"Files already under a recorder's file name were kept, renamed:"};
        for (int i = 0; i < keptAs.size(); ++i)
            kept << before.at(i) + " is now " + keptAs.at(i);
        QCOMPARE(run.endMessage, kept.join('\n'));
        QCOMPARE(sessionLog().at(3), kFirstSave + " Kept: hh:mm:ss  " + before.first()
                                                      + " was already in the folder, now " + keptAs.first());
    } else {
        QCOMPARE(run.endMessage, failureMessage({failedLine(kFirstSave, recorderName, reason)}));
    }
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
}

void TestSessionEngine::renameRefused()
{
    // The file goes between its completion and its rename: the title is taken back.
    SessionRun run({twoTitles().first()}, "Default", [](DownloadSession &session) {
        QObject::connect(&session, &DownloadSession::titleComplete, [] { QFile::remove(kFirstFile); });
    });
    const QStringList failed = run.events.filter(
        QRegularExpression("^failed 0 downloaded, but could not be renamed: its checksum could not be taken: No such "
                           "file or directory; it is no longer in "
                           + QRegularExpression::escape(QDir::currentPath()) + ", 100000 left, taken back$"));
    QCOMPARE(failed.size(), 1);
    const QString reason = failed.first().mid(9).chopped(25);
    QCOMPARE(run.endMessage, "Not saved (the rows stay ticked):\n" + failedLine(kFirstSave, kFirstFile, reason));
    QCOMPARE(sessionLog().at(3), kFirstSave + " Failed: hh:mm:ss  " + reason);
    QCOMPARE(run.events.constLast(), QStringLiteral("ended 0 saved 1 failed"));
}

void TestSessionEngine::logUnwritable()
{
    QFile::remove(kLogFileName);
    QVERIFY(QDir().mkdir(kLogFileName));
    SessionRun run(twoTitles(), "Default");

    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    const QString problem = run.events.first().mid(7);
    QVERIFY2(problem.startsWith("The log ") && problem.contains("could not be opened"), qPrintable(problem));
    QCOMPARE(run.events.count("status " + problem), 1); // said once, not for every line
    QCOMPARE(run.endMessage, problem + "\nThe downloads went on; the log is missing their records.");
}

void TestSessionEngine::fullQueue()
{
    // One more than a session takes: the last stays for a later session.
    QList<Recording> catalog;
    QList<QueuedTitle> titles;
    for (int i = 0; i < 201; ++i) {
        const QString name = QStringLiteral("10706%1.mpg").arg(i, 5, 10, QChar(u'0'));
        const QString title = QStringLiteral("Load %1").arg(i, 3, 10, QChar(u'0'));
        catalog.append({title, name, 200 + i});
        titles.append({i, name, guideTitle(title), "12/05/2003", double(200 + i)});
    }
    m_recorder->setCatalog(catalog);

    SessionRun run(titles, "Default", {}, {0, 0, kShort.stall});

    QCOMPARE(run.events.constLast(), QStringLiteral("ended 200 saved 0 failed"));
    QVERIFY(run.endMessage.startsWith("Only the first 200 ticked titles fit in one session."));
    QCOMPARE(m_recorder->journal().size(), 200);
    QCOMPARE(workingDirEntries().size(), 203); // 200 saved, the log, the record of them and their sums
    QCOMPARE(readFile("Load 199_12 05 2003.mpg"), recordingBytes("1070600199.mpg", 399));
    QVERIFY(!QFile::exists("Load 200_12 05 2003.mpg"));
    QCOMPARE(sessionLog().size(), 2 + 200 * 3 + 2);
}

void TestSessionEngine::measuring_data()
{
    QTest::addColumn<QString>("recorderName");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<double>("size"); // 0: not measured, and told
    QTest::addColumn<bool>("helperRan");

    QTest::addRow("measured") << kFirstFile << QByteArray() << double(kFirstSize) << true;
    QTest::addRow("no FStat.txt") << kFirstFile << QByteArray("no-fstat") << 0.0 << true;
    QTest::addRow("one field") << kFirstFile << QByteArray("bad-fstat") << 0.0 << true;
    QTest::addRow("the helper's guide word") << "GUIDE" << QByteArray() << 0.0 << false;
    QTest::addRow("an option") << "-g" << QByteArray() << 0.0 << false;
}

void TestSessionEngine::measuring()
{
    QFETCH(QString, recorderName);
    QFETCH(QByteArray, fault);
    QFETCH(double, size);
    QFETCH(bool, helperRan);
    m_recorder->setFault(fault, recorderName.trimmed());
    writeFile("FStat.txt", "FileStat,Size=999"); // an old size is never taken

    const TaggingTotals totals =
        measureTitles({{recorderName, guideTitle("First")}, {kSecondFile, guideTitle("Second")}}, kShort.stall);

    QCOMPARE(totals.sizes, (QList<double>{size, double(kSecondSize)}));
    QCOMPARE(totals.total, size + kSecondSize);
    QCOMPARE(totals.messages.isEmpty(), size > 0);
    if (size == 0)
        QCOMPARE(totals.messages.first(), GuideMessages::titlesNotMeasured(
                                              {GuideMessages::titleForMessage(guideTitle("First"), recorderName)}));
    const QString helperLine = "Tamrick " + recorderName.trimmed();
    QCOMPARE(m_recorder->journal(), (helperRan ? QStringList{helperLine} : QStringList())
                                        + QStringList{"Tamrick " + kSecondFile});
    QCOMPARE(workingDirEntries(), QStringList{kLogFileName}); // FStat.txt in no case left behind
}

void TestSessionEngine::fileStatInTheWay()
{
    QVERIFY(QDir().mkdir("FStat.txt")); // cannot be deleted before any title: told once, not per title
    const TaggingTotals totals =
        measureTitles({{kFirstFile, guideTitle("First")}, {kSecondFile, guideTitle("Second")}}, kShort.stall);
    QCOMPARE(totals.messages.join(u'\n').count("Cannot delete FStat.txt"), 1);
}

void TestSessionEngine::guideFetch_data()
{
    QTest::addColumn<QByteArray>("guideText"); // empty: the recorder's own guide
    QTest::addColumn<QString>("stuckTool");    // a stand-in that never ends
    QTest::addColumn<int>("listed");           // -1: nothing listed
    QTest::addColumn<QString>("message");

    QByteArray tenThousand;
    for (int i = 0; i < 10000; ++i)
        tenThousand += QStringLiteral("Show #%1 T%1 (x)\r\nQuality:  Standard\r\nRecorded: 12/05/2003\r\n"
                                      "Filename: %1.mpg\r\nDuration: 60\r\n")
                           .arg(i)
                           .toUtf8();
    QTest::addRow("ten thousand records") << tenThousand << QString() << 201
                                          << GuideMessages::guideShortfall(0, 10000 - 201, 201);
    QTest::addRow("transfer tool stuck") << QByteArray() << "Tolvane" << -1 << GuideMessages::guideMissing();
    QTest::addRow("helper stuck") << QByteArray() << "Tamrick" << -1 << GuideMessages::guideMissing();
}

void TestSessionEngine::guideFetch()
{
    QFETCH(QByteArray, guideText);
    QFETCH(QString, stuckTool);
    QFETCH(int, listed);
    QFETCH(QString, message);
    QTemporaryDir aux;
    if (!guideText.isEmpty()) {
        writeFile(aux.filePath("guide.txt"), guideText);
        qputenv("SIMREC_GUIDE_FILE", aux.filePath("guide.txt").toLocal8Bit());
    }
    if (!stuckTool.isEmpty()) {
        // Writes a little of its file, then hangs.
        const QString out = stuckTool == "Tolvane" ? "Guide.dat" : "Guide.txt";
        writeFile(aux.filePath(stuckTool), "#!/bin/sh\necho part > " + out.toUtf8() + "\nexec sleep 60\n");
        QFile::setPermissions(aux.filePath(stuckTool), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", aux.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    }
    int paints = 0;
    const GuideFetch fetch = fetchGuide("10.0.0.5", 201, {300, 500}, [&paints] { ++paints; });

    QCOMPARE(fetch.outcome, listed < 0 ? GuideFetch::Outcome::NotListed : GuideFetch::Outcome::Listed);
    QCOMPARE(fetch.parsed.entries.size(), qMax(listed, 0));
    QCOMPARE(fetch.message, message);
    if (listed == 201)
        QVERIFY(paints > 0); // the window can paint while a long guide is read
    if (!stuckTool.isEmpty()) {
        QCOMPARE(m_told->messages.size(), 1);
        QVERIFY(m_told->messages.first().startsWith(stuckTool + (stuckTool == "Tolvane" ? " 10.0.0.5 -g" : " guide")
                                                    + " was stopped"));
        QVERIFY(!QFile::exists(stuckTool == "Tolvane" ? "Guide.dat" : "Guide.txt")); // a partial file is not kept
    }
}

void TestSessionEngine::archiveCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("savedBefore"); // recorder name already in the record
    QTest::addColumn<QByteArray>("fault");    // of the second title's transfer
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("printed"); // %1: the working folder
    QTest::addColumn<QStringList>("tools");   // after Get Guide's two
    QTest::addColumn<QStringList>("logged");  // per title: its save name, and why it failed
    QTest::addColumn<QByteArray>("guide");    // empty: the recorder's own

    const QString first = "saved\t" + kFirstFile + "\t%1/" + kFirstSave;
    const QString second = "saved\t" + kSecondFile + "\t%1/" + kSecondSave;
    const QString measureBoth = "Tamrick " + kFirstFile + "|Tamrick " + kSecondFile;
    QTest::addRow("both new") << QStringList{"archive"} << "" << QByteArray() << 0
                              << QStringList{first, second, "2 saved, 0 failed"}
                              << (measureBoth + "|" + tolvane(kFirstFile) + "|" + tolvane(kSecondFile)).split(u'|')
                              << QStringList{kFirstSave, kSecondSave} << QByteArray();
    QTest::addRow("nothing new") << QStringList{"archive"} << kFirstFile + "|" + kSecondFile << QByteArray() << 0
                                 << QStringList{"0 saved, 0 failed"} << QStringList() << QStringList() << QByteArray();
    QTest::addRow("one saved before") << QStringList{"archive"} << kFirstFile << QByteArray() << 0
                                      << QStringList{second, "1 saved, 0 failed"}
                                      << QStringList{"Tamrick " + kSecondFile, tolvane(kSecondFile)}
                                      << QStringList{kSecondSave} << QByteArray();
    QTest::addRow("by title, ignoring case") << QStringList{"archive", "--title", "nothing", "--title", "SEC"} << ""
                                             << QByteArray() << 0 << QStringList{second, "1 saved, 0 failed"}
                                             << QStringList{"Tamrick " + kSecondFile, tolvane(kSecondFile)}
                                             << QStringList{kSecondSave} << QByteArray();
    QTest::addRow("dry run") << QStringList{"archive", "--dry-run"} << kFirstFile << QByteArray() << 0
                             << QStringList{kSecondFile + "\tSecond\t12/05/2003\t060\tnew", "1 recording, 3,000 bytes"}
                             << QStringList{"Tamrick " + kSecondFile} << QStringList() << QByteArray();
    QTest::addRow("one fails") << QStringList{"archive", "--delay", "7"} << "" << QByteArray("fail:100") << 1
                               << QStringList{first, "failed\t" + kSecondFile + "\tstopped short", "1 saved, 1 failed"}
                               << (measureBoth + "|" + tolvane(kFirstFile, "7") + "|" + tolvane(kSecondFile, "7"))
                                      .split(u'|')
                               << QStringList{kFirstSave, kSecondSave + ": stopped short"} << QByteArray();
    QTest::addRow("address for this run") << QStringList{"archive", "--address", "10.0.0.9", "--title", "first"}
                                          << "" << QByteArray() << 0 << QStringList{first, "1 saved, 0 failed"}
                                          << QStringList{"Tamrick " + kFirstFile, tolvane(kFirstFile, {}, "10.0.0.9")}
                                          << QStringList{kFirstSave} << QByteArray();
    QTest::addRow("list") << QStringList{"list"} << kFirstFile << QByteArray() << 0
                          << QStringList{kFirstFile + "\tFirst\t12/05/2003\t060\tsaved",
                                         kSecondFile + "\tSecond\t12/05/2003\t060\tnew"}
                          << QStringList() << QStringList() << QByteArray();
    QTest::addRow("list: odd titles")
        << QStringList{"list"} << "" << QByteArray() << 0
        << QStringList{"1.mpg\tTab\\there  - quoted -  Caf\u00e9 \\\\ back\t12/05/2003\t060\tnew",
                       "2.mpg\tLine\\x1B[2J\t01/02/2004\t9\tnew"}
        << QStringList() << QStringList()
        << QByteArray("Show #1\r\nTitle:Tab\there \"quoted\" Caf\xc3\xa9 \\ back\r\nQuality: Standard\r\n"
                      "Recorded: 12/05/2003 20:00\r\nFilename: 1.mpg\r\nDuration: 060 min\r\n"
                      "Show #2\r\nTitle:Line\x1b[2J\r\nQuality: High\r\nRecorded: 01/02/2004\r\nFilename: 2.mpg\r\n"
                      "Duration: 9\r\n");
    for (const char *lost : {">/dev/full", "| reader gone", ">&-"})
        QTest::addRow("list: output lost, %s", lost) << QStringList{"list", lost} << "" << QByteArray() << 1
                                                    << QStringList() << QStringList() << QStringList() << QByteArray();
}

// A command run as a shell runs it: what it prints, the tools it runs, and
// the log and record it leaves, which are those a window session leaves.
void TestSessionEngine::archiveCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, savedBefore);
    QFETCH(QByteArray, fault);
    QFETCH(int, status);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, tools);
    QFETCH(QStringList, logged);
    QFETCH(QByteArray, guide);
    writeAddress();
    QTemporaryDir aux;
    if (!guide.isEmpty()) {
        writeFile(aux.filePath("guide.txt"), guide);
        qputenv("SIMREC_GUIDE_FILE", aux.filePath("guide.txt").toLocal8Bit());
    }
    m_recorder->setFault(fault.isEmpty() ? "none" : fault, kSecondFile);
    for (const QString &name : savedBefore.split(u'|', Qt::SkipEmptyParts)) {
        const QString title = guideTitle(name == kFirstFile ? "First" : "Second");
        QVERIFY(SavedRecords::note({name, title, "12/05/2003", "2024-01-01T00:00:00", "/srv/" + name}));
    }
    const QByteArray recordBefore = readFile(SavedRecords::fileName());

    const CommandRun run = runKelvado(arguments);

    QCOMPARE(run.status, status);
    QCOMPARE(run.out, printed.isEmpty() ? QString() : printed.join(u'\n').replace("%1", QDir::currentPath()) + u'\n');
    const qsizetype given = arguments.indexOf("--address");
    const QString address = given < 0 ? "10.0.0.5" : arguments.at(given + 1);
    QCOMPARE(m_recorder->journal(), QStringList({"Tolvane " + address + " -g", "Tamrick guide"}) + tools);
    QStringList log;
    for (const QString &title : logged)
        log += titleLog(title.section(": ", 0, 0), arguments.contains("7") ? "7" : "Default", title.section(": ", 1));
    QCOMPARE(sessionLog(), log.isEmpty() ? log : sessionHeader() + log + sessionEnd());
    QCOMPARE(readFile("RPTVIP.dat"), "\"10.0.0.5\",\"Default\"\r\n");
    // Every title saved is in the record with the file it printed, whole.
    const QStringList savedLines = printed.filter(QRegularExpression("^saved\t"));
    const QByteArray added = readFile(SavedRecords::fileName()).mid(recordBefore.size());
    QCOMPARE(added.count('\n') - added.count("# "), savedLines.size());
    for (const QString &line : savedLines) {
        const QString name = line.section(u'\t', 1, 1), path = line.section(u'\t', 2).replace("%1", QDir::currentPath());
        const QString title = guideTitle(name == kFirstFile ? "First" : "Second");
        const SavedRecords records = SavedRecords::load({SavedRecords::key(name, title, "12/05/2003")});
        const SavedRecording *saved = records.find(name, title, "12/05/2003");
        QVERIFY(saved);
        QCOMPARE(saved->path, path);
        QCOMPARE(readFile(path), recordingBytes(name, name == kFirstFile ? kFirstSize : kSecondSize));
    }
    // The window's engine on the same titles, in a folder of its own, writes the same log.
    QList<QueuedTitle> queued;
    for (const QueuedTitle &title : twoTitles())
        if (tools.join(u'|').contains(" -e " + title.recorderName))
            queued << title;
    const QStringList commandLog = sessionLog();
    const ScratchDir engineFolder;
    writeFile(kLogFileName, {});
    if (!queued.isEmpty())
        SessionRun(queued, arguments.contains("7") ? "7" : "Default");
    QCOMPARE(sessionLog(), commandLog);
}

void TestSessionEngine::folderHeldAlone_data()
{
    QTest::addColumn<QStringList>("holder"); // what holds the folder first: a window, or an archive under way
    QTest::addRow("a window open") << QStringList();
    QTest::addRow("an archive under way") << QStringList{"archive"};
}

// One Kelvado per folder, in any other folder another, and a lock that goes
// with a killed holder.
void TestSessionEngine::folderHeldAlone()
{
    QFETCH(QStringList, holder);
    writeAddress();
    qputenv("SIMREC_RATE", "20000"); // the holder's first title takes 5 s
    QProcess first;
    startKelvado(first, holder, QDir::currentPath(), holder.isEmpty() ? "offscreen" : "");
    QTRY_VERIFY_WITH_TIMEOUT(FolderLock().state() == FolderLock::State::Busy, 20000);
    if (!holder.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(m_recorder->journal().contains(tolvane(kFirstFile)), 20000);
    qputenv("SIMREC_RATE", "0");
    const QStringList journal = m_recorder->journal();
    const QStringList entries = workingDirEntries();

    const CommandRun second = runKelvado({"archive"});
    QCOMPARE(second.status, 3);
    QCOMPARE(second.out, QString());
    QCOMPARE(second.err, "another Kelvado is working in " + QDir::currentPath() + "\n");
    QCOMPARE(m_recorder->journal(), journal);
    QCOMPARE(workingDirEntries(), entries);
    QCOMPARE(first.state(), QProcess::Running);
    QProcess window; // a second window says so in its box and on standard error, and touches nothing
    startKelvado(window, {}, QDir::currentPath(), "offscreen");
    QByteArray told;
    QTRY_VERIFY_WITH_TIMEOUT((told += window.readAllStandardError()).contains("Kelvado is working") && told.endsWith('\n'),
                             20000);
    QVERIFY(told.split('\n').contains("another Kelvado is working in " + QFile::encodeName(QDir::currentPath())));
    QCOMPARE(workingDirEntries(), entries);
    window.kill();
    window.waitForFinished();
    QTemporaryDir elsewhere;
    writeAddress(elsewhere.path());
    QCOMPARE(runKelvado({"list"}, elsewhere.path()).status, 0);
    {
        // A program started while the lock is held never holds it.
        const FolderLock held(elsewhere.path());
        QProcess shell;
        shell.start("/bin/sh", {"-c", "readlink /proc/$$/fd/*"});
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(held.state(), FolderLock::State::Held);
        QVERIFY(!shell.readAllStandardOutput().contains(QFile::encodeName(elsewhere.path())));
    }

    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    const CommandRun after = runKelvado({"archive", "--dry-run"});
    QCOMPARE(after.status, 0);
    QVERIFY(after.out.endsWith(" bytes\n"));
}

QTEST_GUILESS_MAIN(TestSessionEngine)
#include "tst_session_engine.moc"
