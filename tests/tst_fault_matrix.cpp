// Faults from outside, end to end: the main window driven through its controls
// over the simulated recorder while tools fail, files vanish, folders and the
// log refuse writes, and the guide or FStat.txt hold garbage or far too much.
// Whatever goes wrong, each case checks that the session still ends with its
// end records, that partial files keep the recorder's name and nothing
// finished is overwritten, that the user is told, and that the window still
// answers afterwards.
#include "tst_session_support.h"

#include "log/Form2.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace sessiontest;

namespace {

const QString kFirstFile = QStringLiteral("1070600000.mpg");
const QString kSecondFile = QStringLiteral("1070683200.mpg");
const QString kFirstSave = QStringLiteral("First_12 05 2003.mpg");
// A finished recording of the same name is already there, so the second title
// goes to the next free name and the earlier one must survive untouched.
const QString kEarlierSave = QStringLiteral("Second_12 05 2003.mpg");
const QByteArray kEarlierBytes("finished in an earlier run");
const QString kSecondSave = QStringLiteral("Second_12 05 2003_01.mpg");
constexpr qint64 kFirstSize = 240000; // about 0.6 s at the rate below
constexpr qint64 kSecondSize = 3000;
constexpr qint64 kRate = 400000;

QList<Recording> twoRecordings()
{
    return {{"First", kFirstFile, kFirstSize}, {"Second", kSecondFile, kSecondSize}};
}

QString failureMessage(const QStringList &lines)
{
    return QStringLiteral("Not downloaded completely (the rows stay ticked; any partial file keeps the "
                          "recorder's name):\n")
        + lines.join(u'\n');
}

QString failedLine(const QString &saveName, const QString &fileName, const QString &reason)
{
    return saveName + QStringLiteral(" (") + fileName + QStringLiteral("): ") + reason;
}

QString notMeasuredMessage(const QString &titles)
{
    return QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so they count "
                          "as 0 bytes in the total:\n\n")
        + titles + QStringLiteral("\n\nClick the list to measure again.");
}

QString notFound(const QString &program)
{
    return QStringLiteral("Cannot run \"%1\": the program was not found in the working directory or on the "
                          "search path.")
        .arg(program);
}

// A byte count as the window shows it: digits grouped by three with the
// user's thousands separator.
QString grouped(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLocale::system().groupSeparator());
    return digits;
}

// The working folder's entries in plain code-unit order.
QStringList sortedEntries()
{
    QStringList entries = workingDirEntries();
    entries.sort();
    return entries;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QStringList rowsOf(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

bool arriving(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && info.size() > 0;
}

// Sets or clears the immutable attribute, as chattr +i / -i do. Root ignores
// permission bits but not this: a folder then takes no new, renamed or removed
// entries, a file no writes. Returns why it could not be done.
QString setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    QString error;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ::close(fd);
    return error;
}

// Makes a path immutable on request and always clears it again when it goes,
// whether the test passed or not, so the scratch folder can be removed.
class ImmutableWhileAlive
{
public:
    explicit ImmutableWhileAlive(QString path)
        : m_path(QFileInfo(path).absoluteFilePath())
    {
    }
    ~ImmutableWhileAlive() { release(); }
    ImmutableWhileAlive(const ImmutableWhileAlive &) = delete;
    ImmutableWhileAlive &operator=(const ImmutableWhileAlive &) = delete;

    // Tries the attribute once and takes it off again: empty when it works here.
    QString probe()
    {
        const QString error = setImmutable(m_path, true);
        if (error.isEmpty())
            setImmutable(m_path, false);
        return error;
    }
    bool set()
    {
        m_set = setImmutable(m_path, true).isEmpty();
        return m_set;
    }
    void release()
    {
        if (m_set)
            m_set = !setImmutable(m_path, false).isEmpty();
    }

private:
    QString m_path;
    bool m_set = false;
};

// Runs an action once, from the event loop the session waits in, as soon as a
// condition holds.
class Trigger
{
public:
    Trigger(std::function<bool()> when, std::function<void()> then)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, when, then] {
            if (m_fired || !when())
                return;
            m_fired = true;
            m_timer.stop();
            then();
        });
        m_timer.start(20);
    }
    bool fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};

QByteArray randomBytes(QRandomGenerator &random, int size, const QByteArray &excluded = {})
{
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const char c = static_cast<char>(random.bounded(256));
        if (!excluded.contains(c))
            bytes += c;
    }
    return bytes;
}

} // namespace

// Fails the calling test function too when a shared check failed.
#define CHECKED(call)                                                                                                  \
    do {                                                                                                               \
        call;                                                                                                          \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void measuringFailedThenSession_data();
    void measuringFailedThenSession();
    void transferToolMissingThenBack();
    void workingFolderReadOnly_data();
    void workingFolderReadOnly();
    void recordingDeletedWhileDownloading_data();
    void recordingDeletedWhileDownloading();
    void logReadOnly_data();
    void logReadOnly();
    void settingsFileIsAFolder();
    void guideOfRandomBytes_data();
    void guideOfRandomBytes();
    void guideOfTenThousandRecords();
    void fileStatOfTenMegabytes_data();
    void fileStatOfTenMegabytes();

private:
    // The window after start-up and Get Guide over the two-title catalog, with
    // the earlier recording in place and the delay typed.
    std::unique_ptr<Form1> startWithGuide(const QString &delay);
    // Ticks both rows and clicks the list: both titles are measured.
    void tickBothAndMeasure(Form1 &w);
    // What holds after every session, however its titles ended.
    void checkSessionEnded(Form1 &w);
    // The window still does its work: a second Get Guide does nothing and says
    // nothing, Set Mpeg Path answers, View Log shows the log as it is on disk.
    void checkStillResponsive(Form1 &w);
    void collectStatuses(Form1 &w);

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;
    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<QTemporaryDir> m_aux; // tool-side files, outside the working folder
    QStringList m_statuses;
    bool m_earlierPlanted = false;
};

void TestFaultMatrix::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_messages = std::make_unique<MessageCapture>();
    m_recorder = std::make_unique<Recorder>();
    m_aux = std::make_unique<QTemporaryDir>();
    m_statuses.clear();
    m_earlierPlanted = false;
    setScreenPointer(ScreenPointer::Default);
    Form1::setProgramExit([] { QFAIL("the program was ended"); });
}

void TestFaultMatrix::cleanup()
{
    Form1::setProgramExit({});
    m_aux.reset();
    m_recorder.reset();
    m_messages.reset();
    m_dir.reset();
}

std::unique_ptr<Form1> TestFaultMatrix::startWithGuide(const QString &delay)
{
    m_recorder->setCatalog(twoRecordings());
    m_recorder->setRate(kRate);
    writeFile(kEarlierSave, kEarlierBytes);
    m_earlierPlanted = true;
    auto w = startWindow();
    if (delay != QStringLiteral("Default"))
        typeDelay(*w, delay);
    QTest::mouseClick(w->GetGuide, Qt::LeftButton);
    if (w->TitleCount != 2)
        return {};
    // The pauses themselves are not under test here.
    w->Session.setFixedPauses(0.1, 0.1);
    StallLimits limits;
    limits.endedMs = 300;
    limits.runningMs = 5000;
    w->Session.setStallLimits(limits);
    collectStatuses(*w);
    return w;
}

void TestFaultMatrix::tickBothAndMeasure(Form1 &w)
{
    tick(w, {0, 1});
    clickList(w);
    m_recorder->clearJournal();
}

void TestFaultMatrix::collectStatuses(Form1 &w)
{
    connect(w.Text3, &QLineEdit::textChanged, w.Text3, [this](const QString &text) { m_statuses << text; });
}

void TestFaultMatrix::checkSessionEnded(Form1 &w)
{
    QCOMPARE(w.Text3->text(), QStringLiteral("Session End"));
    QCOMPARE(w.Text4->text(), QString());
    QCOMPARE(w.Text7->text(), QString());
    QVERIFY(!w.DownloadInProgress);
    QVERIFY(w.List1->isEnabled());
    QCOMPARE(screenPointer(), ScreenPointer::Default);
    // Whatever else happened, the finished recording of an earlier run is intact.
    if (m_earlierPlanted)
        QCOMPARE(readFile(kEarlierSave), kEarlierBytes);
}

void TestFaultMatrix::checkStillResponsive(Form1 &w)
{
    QVERIFY(w.GuideLoaded);
    const QStringList journalBefore = m_recorder->journal();
    const QStringList rowsBefore = rowsOf(w.List1);
    const qsizetype toldBefore = m_messages->messages.size();

    QTest::mouseClick(w.GetGuide, Qt::LeftButton);
    QCOMPARE(m_recorder->journal(), journalBefore);
    QCOMPARE(rowsOf(w.List1), rowsBefore);
    QCOMPARE(m_messages->messages.size(), toldBefore);

    QTest::mouseClick(w.GetPath, Qt::LeftButton);
    QCOMPARE(m_messages->messages.mid(toldBefore), QStringList{"Hopefully next release"});

    QTest::mouseClick(w.LogView, Qt::LeftButton);
    Form2 *viewer = w.logViewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(rowsOf(viewer->Log_List), QStringList{"Log_List"} + logLines());
    QTest::mouseClick(viewer->Command1, Qt::LeftButton);
    QVERIFY(!viewer->isVisible());
}

void TestFaultMatrix::measuringFailedThenSession_data()
{
    QTest::addColumn<QByteArray>("measureFault");
    QTest::addColumn<QByteArray>("transferFault");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("reason"); // empty: the first title is saved

    // The size is unknown, so the session must wait for the tool's end before
    // it takes the file as complete.
    QTest::addRow("no FStat.txt, waited") << QByteArray("no-fstat") << QByteArray() << "Default" << QString();
    QTest::addRow("one field, unwaited") << QByteArray("bad-fstat") << QByteArray() << "10" << QString();
    QTest::addRow("second field too short, waited") << QByteArray("short-fstat") << QByteArray() << "Default"
                                                    << QString();
    QTest::addRow("and no file arrives, waited") << QByteArray("no-fstat") << QByteArray("exit") << "Default"
                                                 << "no file received";
    QTest::addRow("and no file arrives, unwaited") << QByteArray("bad-fstat") << QByteArray("exit") << "10"
                                                   << "no file received";
}

void TestFaultMatrix::measuringFailedThenSession()
{
    QFETCH(QByteArray, measureFault);
    QFETCH(QByteArray, transferFault);
    QFETCH(QString, delay);
    QFETCH(QString, reason);
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    m_recorder->setFault(measureFault, kFirstFile);
    tickBothAndMeasure(*w);
    const QString firstTitle = QStringLiteral("First (") + kFirstFile + u')';
    QCOMPARE(m_messages->messages, QStringList{notMeasuredMessage(firstTitle)});
    QCOMPARE(w->FileSizes[0], 0.0);
    QCOMPARE(w->Text6->text(), grouped(kSecondSize));
    if (!transferFault.isEmpty())
        m_recorder->setFault(transferFault, kFirstFile);

    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    const QString number = delay == QStringLiteral("Default") ? QString() : delay;
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QStringList files{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", kEarlierSave, kSecondSave};
    QStringList told{notMeasuredMessage(firstTitle)};
    if (reason.isEmpty()) {
        QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
        files << kFirstSave;
        QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, delay) + finished(kFirstSave)
                                   + started(kSecondSave, delay) + finished(kSecondSave) + sessionEnd());
        QCOMPARE(tickedRows(*w), QList<int>());
        QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    } else {
        QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, delay) + failed(kFirstSave, reason)
                                   + started(kSecondSave, delay) + finished(kSecondSave) + sessionEnd());
        QCOMPARE(tickedRows(*w), QList<int>{0});
        QCOMPARE(w->Text5->text(), QStringLiteral("1"));
        QVERIFY(m_statuses.contains(QStringLiteral("Failed: ") + reason));
        told << failureMessage({failedLine(kFirstSave, kFirstFile, reason)});
    }
    files.sort();
    QCOMPARE(sortedEntries(), files);
    QCOMPARE(m_messages->messages, told);
    QCOMPARE(w->TotalSize, 0.0);
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::transferToolMissingThenBack()
{
    // The waited form without the tool is covered with the session's faults;
    // here the unwaited form, and the session after the tool is back.
    auto w = startWithGuide(QStringLiteral("10"));
    QVERIFY2(w, "the guide did not list the two titles");
    tickBothAndMeasure(*w);
    const QByteArray path = qgetenv("PATH");
    m_recorder->hideTools();

    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    const QString error = notFound(QStringLiteral("Tolvane"));
    QCOMPARE(m_recorder->journal(), QStringList());
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, "10") + failed(kFirstSave, error)
                               + started(kSecondSave, "10") + failed(kSecondSave, error) + sessionEnd());
    QCOMPARE(sortedEntries(), sorted({"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", kEarlierSave}));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(w->Text5->text(), QStringLiteral("2"));
    QCOMPARE(m_statuses.count(QStringLiteral("Failed: ") + error), 2);
    // An unwaited start has no message of its own: the end message names both.
    QCOMPARE(m_messages->messages, QStringList{failureMessage({failedLine(kFirstSave, kFirstFile, error),
                                                               failedLine(kSecondSave, kSecondFile, error)})});

    // With the tool back, the rows still ticked are measured and downloaded.
    qputenv("PATH", path);
    m_messages->messages.clear();
    const QStringList logBefore = sessionLog();
    clickList(*w);
    m_recorder->clearJournal();
    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, "10"), tolvane(kSecondFile, "10")}));
    QCOMPARE(sessionLog(), logBefore + sessionHeader() + started(kFirstSave, "10") + finished(kFirstSave)
                               + started(kSecondSave, "10") + finished(kSecondSave) + sessionEnd());
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(m_messages->messages, QStringList());
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::workingFolderReadOnly_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("atRename"); // false: while the first title arrives

    QTest::addRow("while the first title arrives, unwaited") << "10" << false;
    QTest::addRow("while the first title waits to be renamed, waited") << "Default" << true;
}

void TestFaultMatrix::workingFolderReadOnly()
{
    QFETCH(QString, delay);
    QFETCH(bool, atRename);
    ImmutableWhileAlive folder(QDir::currentPath());
    const QString refused = folder.probe();
    if (!refused.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot make the working folder immutable (chattr +i) here: ") + refused));
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    tickBothAndMeasure(*w);
    const QStringList filesBefore = sortedEntries();

    std::unique_ptr<Trigger> trigger;
    bool madeReadOnly = false;
    if (atRename) {
        connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
            if (text == QStringLiteral("Renaming Mpeg") && w->Text4->text() == kFirstFile && !madeReadOnly)
                madeReadOnly = folder.set();
        });
    } else {
        trigger = std::make_unique<Trigger>([] { return arriving(kFirstFile); },
                                            [&] { madeReadOnly = folder.set(); });
    }

    pressExtract(*w);
    folder.release();

    QVERIFY(madeReadOnly);
    CHECKED(checkSessionEnded(*w));
    // The first file arrived whole but could not be renamed; the second could
    // not even be created. The log, an existing file, still took its lines.
    const QString notRenamed = QStringLiteral("not renamed: Cannot rename %1 to %2: Operation not permitted")
                                   .arg(kFirstFile, kFirstSave);
    const QString number = delay == QStringLiteral("Default") ? QString() : delay;
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(sortedEntries(), sorted(QStringList(filesBefore) << kFirstFile));
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, delay) + failed(kFirstSave, notRenamed)
                               + started(kSecondSave, delay) + failed(kSecondSave, "stopped short") + sessionEnd());
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(w->Text5->text(), QStringLiteral("2"));
    QCOMPARE(w->TotalSize, 0.0);
    QVERIFY(m_statuses.contains(QStringLiteral("Failed: ") + notRenamed));
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage({failedLine(kFirstSave, kFirstFile, notRenamed),
                                         failedLine(kSecondSave, kSecondFile, "stopped short")})});

    // Writable again: the rows still ticked are measured and downloaded.
    CHECKED(checkStillResponsive(*w));
    m_messages->messages.clear();
    clickList(*w);
    pressExtract(*w);
    CHECKED(checkSessionEnded(*w));
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QStringList files{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", kEarlierSave, kFirstSave, kSecondSave};
    files.sort();
    QCOMPARE(sortedEntries(), files);
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(m_messages->messages, QStringList());
}

void TestFaultMatrix::recordingDeletedWhileDownloading_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("atRename"); // false: while it arrives
    QTest::addColumn<QString>("reason");

    QTest::addRow("while it arrives, unwaited") << "10" << false << "stopped short";
    QTest::addRow("while it arrives, waited") << "Default" << false << "stopped short";
    QTest::addRow("before it is renamed") << "Default" << true
                                          << QStringLiteral("not renamed: Cannot rename %1 to %2: No such file or "
                                                            "directory")
                                                 .arg(kFirstFile, kFirstSave);
}

void TestFaultMatrix::recordingDeletedWhileDownloading()
{
    QFETCH(QString, delay);
    QFETCH(bool, atRename);
    QFETCH(QString, reason);
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    tickBothAndMeasure(*w);
    // Slower, so the file is surely still arriving when it goes.
    m_recorder->setRate(kRate / 2);

    // Someone else removes the recording the tool is writing.
    bool deleted = false;
    std::unique_ptr<Trigger> trigger;
    if (atRename) {
        connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
            if (text == QStringLiteral("Renaming Mpeg") && w->Text4->text() == kFirstFile && !deleted)
                deleted = QFile::remove(kFirstFile);
        });
    } else {
        trigger = std::make_unique<Trigger>([] { return arriving(kFirstFile); },
                                            [&] { deleted = QFile::remove(kFirstFile); });
    }

    pressExtract(*w);

    QVERIFY(deleted);
    CHECKED(checkSessionEnded(*w));
    const QString number = delay == QStringLiteral("Default") ? QString() : delay;
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, delay) + failed(kFirstSave, reason)
                               + started(kSecondSave, delay) + finished(kSecondSave) + sessionEnd());
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    // Nothing came back under either name.
    QStringList files{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", kEarlierSave, kSecondSave};
    files.sort();
    QCOMPARE(sortedEntries(), files);
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(w->TotalSize, 0.0);
    QVERIFY(m_statuses.contains(QStringLiteral("Failed: ") + reason));
    QCOMPARE(m_messages->messages, QStringList{failureMessage({failedLine(kFirstSave, kFirstFile, reason)})});
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::logReadOnly_data()
{
    QTest::addColumn<bool>("fromStart"); // false: from the first title's transfer on

    QTest::addRow("before the session") << true;
    QTest::addRow("while the first title arrives") << false;
}

void TestFaultMatrix::logReadOnly()
{
    QFETCH(bool, fromStart);
    ImmutableWhileAlive log(QStringLiteral("Kelvado.LOG"));
    auto w = startWithGuide(QStringLiteral("10"));
    QVERIFY2(w, "the guide did not list the two titles");
    const QString refused = log.probe();
    if (!refused.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot make the log immutable (chattr +i) here: ") + refused));
    tickBothAndMeasure(*w);
    const QStringList logBefore = sessionLog();

    std::unique_ptr<Trigger> trigger;
    if (fromStart)
        QVERIFY(log.set());
    else
        trigger = std::make_unique<Trigger>([] { return arriving(kFirstFile); }, [&] { QVERIFY(log.set()); });

    pressExtract(*w);
    log.release();

    CHECKED(checkSessionEnded(*w));
    QVERIFY(fromStart || trigger->fired());
    // The downloads do not depend on the log.
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), QList<int>());
    // The log holds what was written before it became read-only, nothing after.
    QCOMPARE(sessionLog(), fromStart ? logBefore : logBefore + sessionHeader() + started(kFirstSave, "10"));
    const QString problem = QStringLiteral("The log Kelvado.LOG could not be opened: Operation not permitted");
    QCOMPARE(m_statuses.count(problem), 1);
    QCOMPARE(m_statuses.last(), QStringLiteral("Session End"));
    QCOMPARE(m_messages->messages,
             QStringList{problem + QStringLiteral("\nThe downloads went on; the log is missing their records.")});

    // Writable again: the next session's records arrive. Nothing is ticked,
    // so it is the empty one.
    m_messages->messages.clear();
    const QStringList logAfter = sessionLog();
    pressExtract(*w);
    CHECKED(checkSessionEnded(*w));
    QCOMPARE(sessionLog(), logAfter + sessionHeader() + sessionEnd());
    QCOMPARE(m_messages->messages, QStringList());
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::settingsFileIsAFolder()
{
    // Start-up and typing with a folder in the settings file's place are
    // covered with the settings; here the whole job around it.
    QVERIFY(QDir().mkdir(QStringLiteral("RPTVIP.dat")));
    auto w = startWithGuide(QStringLiteral("12"));
    QVERIFY2(w, "the guide did not list the two titles");
    QCOMPARE(m_messages->messages.size(), 1);
    const QString told = m_messages->messages.first();
    QVERIFY2(told.startsWith(QStringLiteral("The settings could not be saved to RPTVIP.dat: ")), qPrintable(told));
    QVERIFY2(told.endsWith(
                 QStringLiteral("\nThe settings stay in use until Kelvado ends, but will not be remembered.")),
             qPrintable(told));
    QCOMPARE(w->DelayFactor, QStringLiteral("12"));
    tickBothAndMeasure(*w);
    // Further edits save again and fail again, without telling it again.
    w->Check1->setChecked(true);
    QCOMPARE(w->DelayFactor, QStringLiteral("Default"));

    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile), tolvane(kSecondFile)}));
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, "Default") + finished(kFirstSave)
                               + started(kSecondSave, "Default") + finished(kSecondSave) + sessionEnd());
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QVERIFY(QFileInfo(QStringLiteral("RPTVIP.dat")).isDir());
    QCOMPARE(QDir(QStringLiteral("RPTVIP.dat")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(m_messages->messages, QStringList{told});
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::guideOfRandomBytes_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("withMarkers"); // lines that begin like the guide's own lines
    QTest::addColumn<int>("leastTitles");
    QTest::addColumn<int>("mostTitles");

    QTest::addRow("random bytes") << 20031205u << false << 0 << 0;
    QTest::addRow("random bytes in record lines") << 1070683200u << true << 20 << Form1::kTableSize;
}

void TestFaultMatrix::guideOfRandomBytes()
{
    QFETCH(quint32, seed);
    QFETCH(bool, withMarkers);
    QFETCH(int, leastTitles);
    QFETCH(int, mostTitles);

    QRandomGenerator random(seed);
    QByteArray guide;
    if (!withMarkers) {
        guide = randomBytes(random, 256 * 1024);
    } else {
        const QByteArrayList starts{"Show #", "Title:", "Quality: ", "Recorded: ", "Filename: ", "Duration: "};
        const QByteArrayList ends{"\r\n", "\n", "\r"};
        for (int line = 0; line < 4000; ++line) {
            if (random.bounded(3) != 0)
                guide += starts.at(random.bounded(int(starts.size())));
            guide += randomBytes(random, random.bounded(90), "\r\n");
            guide += ends.at(random.bounded(int(ends.size())));
        }
    }
    const QString source = m_aux->filePath(QStringLiteral("random-guide.txt"));
    writeFile(source, guide);
    qputenv("SIMREC_GUIDE_FILE", source.toLocal8Bit());
    m_recorder->setCatalog({{"Known", kSecondFile, kSecondSize}});
    auto w = startWindow();

    QTest::mouseClick(w->GetGuide, Qt::LeftButton);

    QCOMPARE(readFile(QStringLiteral("Guide.txt")), guide);
    QVERIFY(w->GuideLoaded);
    const int titles = w->TitleCount;
    QVERIFY2(titles >= leastTitles && titles <= mostTitles, qPrintable(QString::number(titles)));
    // The title table and the list stay in step, whatever the bytes.
    QCOMPARE(w->List1->count(), titles);
    QCOMPARE(w->Text2->text(), QStringLiteral(" %1").arg(titles));
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    QCOMPARE(w->Text3->text(), QStringLiteral(" "));
    QCOMPARE(screenPointer(), ScreenPointer::Arrow);
    for (int i = 0; i < titles; ++i) {
        QCOMPARE(w->Titles[i].size(), qsizetype(58));
        QVERIFY(w->List1->item(i)->text().startsWith(w->Titles[i]));
        QVERIFY(w->FileNames[i].size() <= 26);
        QVERIFY(w->RecordDates[i].size() <= 10);
    }
    for (int i = titles; i < Form1::kTableSize; ++i)
        QCOMPARE(w->FileNames[i], QString());
    // A guide that ends inside a record may be told; nothing else is.
    QVERIFY2(m_messages->messages.size() <= 1, qPrintable(m_messages->messages.join(u'|')));
    if (!m_messages->messages.isEmpty())
        QVERIFY2(m_messages->messages.first().startsWith(QStringLiteral("The guide ")),
                 qPrintable(m_messages->messages.first()));

    // Still usable: every row can be ticked and measured; garbage names are
    // not recordings, so none gets a size and the user hears which.
    m_messages->messages.clear();
    m_recorder->clearJournal();
    for (int i = 0; i < titles; ++i)
        tick(*w, {i});
    if (titles > 0)
        clickList(*w);
    else
        w->List1_Click(); // an empty list has no row to click
    QCOMPARE(w->TaggedCount, short(titles));
    QCOMPARE(w->Text5->text(), QString::number(titles));
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(w->Text6->text(), QString());
    int helperRuns = 0;
    for (const QString &line : m_recorder->journal())
        helperRuns += line == QStringLiteral("Tamrick") || line.startsWith(QStringLiteral("Tamrick "));
    QCOMPARE(helperRuns, titles);
    if (titles > 0) {
        QCOMPARE(m_messages->messages.size(), 1);
        QVERIFY(m_messages->messages.first().startsWith(
            QStringLiteral("The size of these tagged titles could not be read from FStat.txt")));
        m_messages->messages.clear();
    } else {
        QCOMPARE(m_messages->messages, QStringList());
    }
    for (const QString &name : workingDirEntries())
        QVERIFY2(name.compare(QStringLiteral("FStat.txt"), Qt::CaseInsensitive) != 0, "FStat.txt left behind");
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::guideOfTenThousandRecords()
{
    QList<Recording> catalog;
    for (int i = 0; i < 10000; ++i)
        catalog << Recording{QStringLiteral("Show %1").arg(i, 5, 10, QChar(u'0')),
                             QStringLiteral("2%1.mpg").arg(i, 9, 10, QChar(u'0')), 1000 + i};
    m_recorder->setCatalog(catalog);
    auto w = startWindow();
    w->Session.setFixedPauses(0.1, 0.1);

    QTest::mouseClick(w->GetGuide, Qt::LeftButton);

    QCOMPARE(m_recorder->journal(), (QStringList{"Tolvane 10.0.0.5 -g", "Tamrick guide"}));
    QCOMPARE(m_messages->messages,
             QStringList{"The guide lists more recordings than the list can hold: the first 201 are shown, 9799 "
                         "more are left out."});
    QCOMPARE(w->TitleCount, short(201));
    QCOMPARE(w->List1->count(), 201);
    QCOMPARE(w->Text2->text(), QStringLiteral(" 201"));
    for (int i : {0, 1, 199, 200}) {
        QCOMPARE(w->Titles[i], catalog[i].title.leftJustified(58));
        QCOMPARE(w->FileNames[i], catalog[i].fileName);
        QCOMPARE(w->RecordDates[i], QStringLiteral("12/05/2003"));
        QVERIFY(w->List1->item(i)->text().startsWith(w->Titles[i] + QStringLiteral("Standard      060")));
    }

    // The first and the last row listed are the recordings they name.
    m_messages->messages.clear();
    tick(*w, {0, 200});
    clickList(*w);
    QCOMPARE(w->Text6->text(), grouped(catalog[0].size + catalog[200].size));
    m_recorder->clearJournal();
    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(catalog[0].fileName), tolvane(catalog[200].fileName)}));
    const QString first = QStringLiteral("Show 00000_12 05 2003.mpg");
    const QString last = QStringLiteral("Show 00200_12 05 2003.mpg");
    QCOMPARE(readFile(first), recordingBytes(catalog[0].fileName, catalog[0].size));
    QCOMPARE(readFile(last), recordingBytes(catalog[200].fileName, catalog[200].size));
    QCOMPARE(sessionLog(),
             sessionHeader() + started(first, "Default") + finished(first) + started(last, "Default") + finished(last)
                 + sessionEnd());
    QCOMPARE(m_messages->messages, QStringList());
    CHECKED(checkStillResponsive(*w));
}

void TestFaultMatrix::fileStatOfTenMegabytes_data()
{
    QTest::addColumn<QByteArray>("fileStat");
    QTest::addColumn<bool>("measured");

    const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
    QByteArray lines;
    for (int i = 0; i < 100 * 1024; ++i)
        lines += QByteArray(100, 'y') + "\r\n";
    QTest::addRow("the size, then 10 MB of lines")
        << "FileStat,Size=3000,Name=1070683200.mpg\r\n" + lines << true;
    QTest::addRow("10 MB after the size in its field")
        << "FileStat,Size=3000" + tenMegabytes + ",Name=1070683200.mpg\r\n" << true;
    QTest::addRow("10 MB in one field") << tenMegabytes << false;
}

void TestFaultMatrix::fileStatOfTenMegabytes()
{
    QFETCH(QByteArray, fileStat);
    QFETCH(bool, measured);
    // A helper first on the search path: the simulated one answers, then its
    // FStat.txt is replaced by the big one.
    const QString source = m_aux->filePath(QStringLiteral("FStat-source.txt"));
    writeFile(source, fileStat);
    QVERIFY(QDir(m_aux->path()).mkdir(QStringLiteral("bin")));
    const QString helper = m_aux->filePath(QStringLiteral("bin/Tamrick"));
    writeFile(helper, "#!/bin/sh\n'" + QFile::encodeName(recorderBinDir()) + "/Tamrick' \"$@\" || exit $?\n"
                      "[ \"$1\" = guide ] || cat '" + QFile::encodeName(source) + "' > FStat.txt\n");
    QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(m_aux->filePath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));
    auto w = startWithGuide(QStringLiteral("Default"));
    QVERIFY2(w, "the guide did not list the two titles");

    tick(*w, {1});
    clickList(*w);

    QCOMPARE(m_recorder->journal(), (QStringList{"Tolvane 10.0.0.5 -g", "Tamrick guide", "Tamrick " + kSecondFile}));
    for (const QString &name : workingDirEntries())
        QVERIFY2(name.compare(QStringLiteral("FStat.txt"), Qt::CaseInsensitive) != 0, "FStat.txt left behind");
    QCOMPARE(w->FileSizes[1], measured ? double(kSecondSize) : 0.0);
    QCOMPARE(w->Text6->text(), measured ? grouped(kSecondSize) : QString());
    const QStringList toldOnMeasuring =
        measured ? QStringList() : QStringList{notMeasuredMessage(QStringLiteral("Second (") + kSecondFile + u')')};
    QCOMPARE(m_messages->messages, toldOnMeasuring);
    m_recorder->clearJournal();

    pressExtract(*w);

    CHECKED(checkSessionEnded(*w));
    QCOMPARE(m_recorder->journal(), QStringList{tolvane(kSecondFile)});
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(sessionLog(), sessionHeader() + started(kSecondSave, "Default") + finished(kSecondSave) + sessionEnd());
    QCOMPARE(m_messages->messages, toldOnMeasuring);
    CHECKED(checkStillResponsive(*w));
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
