// Faults from outside, end to end: tools fail, files vanish, the folder and
// the log refuse writes, the guide or FStat.txt hold garbage or far too much.
// Each case checks that the session ends with its end records, partial files
// keep the recorder's name, nothing finished is overwritten, the user is told,
// and the window still answers.
#include "tst_session_support.h"

#include "log/Form2.h"
#include "runner/FileNames.h"

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
// A finished recording from an earlier run holds the second title's plain
// name: the second title goes to _01 and the earlier one must survive.
const QString kEarlierSave = QStringLiteral("Second_12 05 2003.mpg");
const QByteArray kEarlierBytes("finished in an earlier run");
const QString kSecondSave = QStringLiteral("Second_12 05 2003_01.mpg");
const QStringList kBaseFiles{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", kEarlierSave};
constexpr qint64 kFirstSize = 240000; // about 0.6 s at the rate below
constexpr qint64 kSecondSize = 3000;
constexpr qint64 kRate = 400000;

QString notMeasuredMessage(const QString &titles)
{
    return QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so they count "
                          "as 0 bytes in the total:\n\n")
        + titles + QStringLiteral("\n\nClick the list to measure again.");
}

// A byte count as the window shows it, digits grouped by three.
QString grouped(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLocale::system().groupSeparator());
    return digits;
}

QStringList rowsOf(const QAbstractItemView *list)
{
    QStringList rows;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        rows << list->model()->index(i, 0).data().toString();
    return rows;
}

bool arriving(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && info.size() > 0;
}

void checkNoFileStatLeft()
{
    for (const QString &name : workingDirEntries())
        QVERIFY2(name.compare(QStringLiteral("FStat.txt"), Qt::CaseInsensitive) != 0, "FStat.txt left behind");
}

// Sets or clears the immutable attribute (chattr +i / -i), which root cannot
// bypass either. Returns why it could not be done.
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

// Clears the attribute again when it goes, pass or fail, so the scratch folder can be removed.
struct ImmutableWhileAlive
{
    explicit ImmutableWhileAlive(const QString &path) : path(QFileInfo(path).absoluteFilePath()) {}
    ~ImmutableWhileAlive() { release(); }
    Q_DISABLE_COPY(ImmutableWhileAlive)

    // Empty when the attribute works here.
    QString probe() const
    {
        const QString error = setImmutable(path, true);
        return error.isEmpty() ? setImmutable(path, false) : error;
    }
    bool set() { return isSet = setImmutable(path, true).isEmpty(); }
    void release() { isSet = isSet && !setImmutable(path, false).isEmpty(); }

    QString path;
    bool isSet = false;
};

// Runs an action once, from the event loop the session waits in, as soon as a condition holds.
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

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstTitleFault_data();
    void firstTitleFault();
    void transferToolMissingThenBack_data();
    void transferToolMissingThenBack();
    void firstRecordingInterrupted_data();
    void firstRecordingInterrupted();
    void logReadOnlyWhileArriving();
    void settingsFileIsAFolder();
    void guideOfRandomBytes_data();
    void guideOfRandomBytes();
    void guideOfTenThousandRecords();
    void fileStatOfTenMegabytes_data();
    void fileStatOfTenMegabytes();

private:
    // After start-up and Get Guide over the two titles, the earlier recording
    // in place, the delay typed, short pauses and stall limits.
    std::unique_ptr<Form1> startWithGuide(const QString &delay);
    void tickBothAndMeasure(Form1 &w);
    void checkEnded(const Form1 &w);
    // A second Get Guide does nothing and says nothing, Set Mpeg Path answers,
    // View Log shows the log as it is on disk.
    void checkStillResponsive(Form1 &w);

    std::unique_ptr<SessionFixture> m_f;
    std::unique_ptr<QTemporaryDir> m_aux; // tool-side files, outside the working folder
    QStringList m_statuses;
    bool m_earlierPlanted = false;
};

void TestFaultMatrix::init()
{
    m_f = std::make_unique<SessionFixture>();
    m_aux = std::make_unique<QTemporaryDir>();
    m_statuses.clear();
    m_earlierPlanted = false;
}

void TestFaultMatrix::cleanup()
{
    m_aux.reset();
    m_f.reset();
}

std::unique_ptr<Form1> TestFaultMatrix::startWithGuide(const QString &delay)
{
    m_f->recorder.setCatalog({{"First", kFirstFile, kFirstSize}, {"Second", kSecondFile, kSecondSize}});
    m_f->recorder.setRate(kRate);
    writeFile(kEarlierSave, kEarlierBytes);
    m_earlierPlanted = true;
    auto w = startWindow();
    if (delay != QStringLiteral("Default"))
        typeDelay(*w, delay);
    QTest::mouseClick(w->GetGuide, Qt::LeftButton);
    if (w->TitleCount != 2)
        return {};
    w->Session.setFixedPauses(0.1, 0.1);
    StallLimits limits;
    limits.endedMs = 300;
    limits.runningMs = 5000;
    w->Session.setStallLimits(limits);
    connect(w->Text3, &QLineEdit::textChanged, w->Text3, [this](const QString &text) { m_statuses << text; });
    return w;
}

void TestFaultMatrix::tickBothAndMeasure(Form1 &w)
{
    tick(w, {0, 1});
    clickList(w);
    m_f->recorder.clearJournal();
}

void TestFaultMatrix::checkEnded(const Form1 &w)
{
    checkSessionEnded(w);
    if (m_earlierPlanted)
        QCOMPARE(readFile(kEarlierSave), kEarlierBytes);
}

void TestFaultMatrix::checkStillResponsive(Form1 &w)
{
    QVERIFY(w.GuideLoaded);
    const QStringList journalBefore = m_f->recorder.journal();
    const QStringList rowsBefore = rowsOf(w.List1);
    const qsizetype toldBefore = m_f->messages.messages.size();

    QTest::mouseClick(w.GetGuide, Qt::LeftButton);
    QCOMPARE(m_f->recorder.journal(), journalBefore);
    QCOMPARE(rowsOf(w.List1), rowsBefore);
    QCOMPARE(m_f->messages.messages.size(), toldBefore);

    QTest::mouseClick(w.GetPath, Qt::LeftButton);
    QCOMPARE(m_f->messages.messages.mid(toldBefore), QStringList{"Hopefully next release"});

    QTest::mouseClick(w.LogView, Qt::LeftButton);
    Form2 *viewer = w.logViewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(rowsOf(viewer->Log_List), QStringList{"Log_List"} + logLines());
    QTest::mouseClick(viewer->Command1, Qt::LeftButton);
    QVERIFY(!viewer->isVisible());
}

void TestFaultMatrix::firstTitleFault_data()
{
    QTest::addColumn<QByteArray>("measureFault");
    QTest::addColumn<QByteArray>("transferFault");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("reason"); // empty: the first title is saved
    QTest::addColumn<qint64>("partial"); // bytes left under the recorder's name; -1: no file

    // An unmeasured size: the session must wait for the tool's end.
    QTest::addRow("no FStat.txt, waited") << QByteArray("no-fstat") << QByteArray() << "Default" << QString()
                                          << qint64(-1);
    QTest::addRow("one field, unwaited") << QByteArray("bad-fstat") << QByteArray() << "10" << QString() << qint64(-1);
    QTest::addRow("second field too short, waited") << QByteArray("short-fstat") << QByteArray() << "Default"
                                                    << QString() << qint64(-1);
    for (const QString &delay : {QStringLiteral("Default"), QStringLiteral("10")}) {
        const char *form = delay == QStringLiteral("Default") ? "waited" : "unwaited";
        QTest::addRow("unmeasured, no file arrives, %s", form)
            << QByteArray(delay == QStringLiteral("10") ? "bad-fstat" : "no-fstat") << QByteArray("exit") << delay
            << "no file received" << qint64(-1);
        QTest::addRow("stall, %s", form) << QByteArray() << QByteArray("hang:70000") << delay << "stalled"
                                         << qint64(70000);
        QTest::addRow("early exit, %s", form) << QByteArray() << QByteArray("stop:65000") << delay << "stopped short"
                                              << qint64(65000);
        QTest::addRow("no file, %s", form) << QByteArray() << QByteArray("exit") << delay << "stopped short"
                                           << qint64(-1);
        // Without a size, only the tool's failure tells the part from the whole.
        QTest::addRow("unmeasured, tool fails after a part, %s", form)
            << QByteArray(delay == QStringLiteral("10") ? "bad-fstat" : "no-fstat") << QByteArray("fail:65000")
            << delay << "transfer tool ended with status 1" << qint64(65000);
    }
}

void TestFaultMatrix::firstTitleFault()
{
    QFETCH(QByteArray, measureFault);
    QFETCH(QByteArray, transferFault);
    QFETCH(QString, delay);
    QFETCH(QString, reason);
    QFETCH(qint64, partial);
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    StallLimits limits;
    limits.endedMs = 300;
    limits.runningMs = 1500;
    w->Session.setStallLimits(limits);
    QStringList told;
    if (!measureFault.isEmpty()) {
        m_f->recorder.setFault(measureFault, kFirstFile);
        told << notMeasuredMessage(QStringLiteral("First (") + kFirstFile + u')');
    }
    tickBothAndMeasure(*w);
    QCOMPARE(m_f->messages.messages, told);
    QCOMPARE(w->FileSizes[0], measureFault.isEmpty() ? double(kFirstSize) : 0.0);
    QCOMPARE(w->Text6->text(), grouped(kSecondSize + (measureFault.isEmpty() ? kFirstSize : 0)));
    if (!transferFault.isEmpty())
        m_f->recorder.setFault(transferFault, kFirstFile);

    pressExtract(*w);

    checkEnded(*w);
    const QString number = delayNumber(delay);
    QCOMPARE(m_f->recorder.journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(sessionLog(),
             sessionHeader() + titleLog(kFirstSave, delay, reason) + titleLog(kSecondSave, delay) + sessionEnd());
    if (reason.isEmpty()) {
        QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
        checkFiles(kBaseFiles + QStringList{kSecondSave, kFirstSave});
        QCOMPARE(tickedRows(*w), QList<int>());
        if (!measureFault.isEmpty())
            told << uncheckedMessage({kFirstSave + " (" + kFirstFile + ")"});
    } else {
        if (partial >= 0)
            QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, partial));
        checkFiles(kBaseFiles + QStringList{kSecondSave} + (partial >= 0 ? QStringList{kFirstFile} : QStringList()));
        QCOMPARE(tickedRows(*w), QList<int>{0});
        QVERIFY(m_statuses.contains(QStringLiteral("Failed: ") + reason));
        told << failureMessage({failedLine(kFirstSave, kFirstFile, reason)});
    }
    QCOMPARE(w->Text5->text(), QString::number(tickedRows(*w).size()));
    QCOMPARE(m_f->messages.messages, told);
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(w->Text6->text(), QString());
    checkStillResponsive(*w);
}

void TestFaultMatrix::transferToolMissingThenBack_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addRow("waited") << "Default";
    QTest::addRow("unwaited") << "10";
}

void TestFaultMatrix::transferToolMissingThenBack()
{
    QFETCH(QString, delay);
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    tickBothAndMeasure(*w);
    const QByteArray path = qgetenv("PATH");
    m_f->recorder.hideTools();

    pressExtract(*w);

    checkEnded(*w);
    const QString error = notFound(QStringLiteral("Tolvane"));
    QCOMPARE(m_f->recorder.journal(), QStringList());
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kFirstSave, delay, error) + titleLog(kSecondSave, delay, error)
                               + sessionEnd());
    checkFiles(kBaseFiles);
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(w->Text5->text(), QStringLiteral("2"));
    QCOMPARE(m_statuses.count(QStringLiteral("Failed: ") + error), 2);
    // A waited run tells its failure as it happens, an unwaited start does
    // not; the end message names both.
    QStringList told = delay == QStringLiteral("Default") ? QStringList{error, error} : QStringList();
    told << failureMessage({failedLine(kFirstSave, kFirstFile, error), failedLine(kSecondSave, kSecondFile, error)});
    QCOMPARE(m_f->messages.messages, told);

    qputenv("PATH", path);
    m_f->messages.messages.clear();
    const QStringList logBefore = sessionLog();
    clickList(*w);
    m_f->recorder.clearJournal();
    pressExtract(*w);

    checkEnded(*w);
    QCOMPARE(m_f->recorder.journal(),
             (QStringList{tolvane(kFirstFile, delayNumber(delay)), tolvane(kSecondFile, delayNumber(delay))}));
    QCOMPARE(sessionLog(),
             logBefore + sessionHeader() + titleLog(kFirstSave, delay) + titleLog(kSecondSave, delay) + sessionEnd());
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(m_f->messages.messages, QStringList());
    checkStillResponsive(*w);
}

void TestFaultMatrix::firstRecordingInterrupted_data()
{
    QTest::addColumn<bool>("readOnly"); // false: the recording is deleted
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("atRename"); // false: while the first title arrives
    QTest::addColumn<QString>("firstReason");

    // Read-only: the first file arrived whole but cannot be renamed; the second cannot even be created.
    const QString notRenamed = QStringLiteral("not renamed: Cannot rename %1 to %2: ").arg(kFirstFile, kFirstSave);
    const QString notPermitted = notRenamed + QStringLiteral("Operation not permitted");
    QTest::addRow("folder read-only while arriving, unwaited") << true << "10" << false << notPermitted;
    QTest::addRow("folder read-only before the rename, waited") << true << "Default" << true << notPermitted;
    QTest::addRow("deleted while arriving, unwaited") << false << "10" << false << "stopped short";
    QTest::addRow("deleted while arriving, waited") << false << "Default" << false << "stopped short";
    QTest::addRow("deleted before the rename") << false << "Default" << true
                                               << notRenamed + QStringLiteral("No such file or directory");
}

void TestFaultMatrix::firstRecordingInterrupted()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, delay);
    QFETCH(bool, atRename);
    QFETCH(QString, firstReason);
    const QString secondReason = readOnly ? QStringLiteral("stopped short") : QString();
    ImmutableWhileAlive folder(QDir::currentPath());
    if (readOnly) {
        const QString refused = folder.probe();
        if (!refused.isEmpty())
            QSKIP(qPrintable(QStringLiteral("cannot make the working folder immutable (chattr +i) here: ") + refused));
    }
    auto w = startWithGuide(delay);
    QVERIFY2(w, "the guide did not list the two titles");
    tickBothAndMeasure(*w);
    if (!readOnly)
        m_f->recorder.setRate(kRate / 2); // the file is surely still arriving when it goes

    bool done = false;
    const auto act = [&] {
        if (!done)
            done = readOnly ? folder.set() : QFile::remove(kFirstFile);
    };
    std::unique_ptr<Trigger> trigger;
    if (atRename) {
        connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
            if (text == QStringLiteral("Renaming Mpeg") && w->Text4->text() == kFirstFile)
                act();
        });
    } else {
        trigger = std::make_unique<Trigger>([] { return arriving(kFirstFile); }, act);
    }

    pressExtract(*w);
    folder.release();

    QVERIFY(done);
    checkEnded(*w);
    const QString number = delayNumber(delay);
    QCOMPARE(m_f->recorder.journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kFirstSave, delay, firstReason)
                               + titleLog(kSecondSave, delay, secondReason) + sessionEnd());
    QStringList failures{failedLine(kFirstSave, kFirstFile, firstReason)};
    if (readOnly) {
        QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, kFirstSize));
        failures << failedLine(kSecondSave, kSecondFile, secondReason);
        checkFiles(kBaseFiles + QStringList{kFirstFile});
    } else {
        QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
        checkFiles(kBaseFiles + QStringList{kSecondSave}); // nothing came back under either name
    }
    const QList<int> stillTicked = readOnly ? QList<int>{0, 1} : QList<int>{0};
    QCOMPARE(tickedRows(*w), stillTicked);
    QCOMPARE(w->Text5->text(), QString::number(stillTicked.size()));
    QCOMPARE(w->TotalSize, 0.0);
    QVERIFY(m_statuses.contains(QStringLiteral("Failed: ") + firstReason));
    QCOMPARE(m_f->messages.messages, QStringList{failureMessage(failures)});
    checkStillResponsive(*w);
    if (!readOnly)
        return;

    // Writable again: the rows still ticked are measured and downloaded; the
    // first title's earlier file is kept aside, never written over.
    m_f->messages.messages.clear();
    clickList(*w);
    pressExtract(*w);
    checkEnded(*w);
    const QString keptAs = kFirstFile + ".kept-1";
    QCOMPARE(readFile(keptAs), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    checkFiles(kBaseFiles + QStringList{keptAs, kFirstSave, kSecondSave});
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(m_f->messages.messages,
             QStringList{"Files already under a recorder's file name were kept, renamed:\n" + kFirstFile + " is now "
                         + keptAs});
}

void TestFaultMatrix::logReadOnlyWhileArriving()
{
    // An unwritable log from the start is with the session's faults; here it
    // turns immutable mid-session and writable again afterwards.
    ImmutableWhileAlive log(QStringLiteral("Kelvado.LOG"));
    auto w = startWithGuide(QStringLiteral("10"));
    QVERIFY2(w, "the guide did not list the two titles");
    const QString refused = log.probe();
    if (!refused.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot make the log immutable (chattr +i) here: ") + refused));
    tickBothAndMeasure(*w);
    const QStringList logBefore = sessionLog();
    Trigger trigger([] { return arriving(kFirstFile); }, [&] { QVERIFY(log.set()); });

    pressExtract(*w);
    log.release();

    checkEnded(*w);
    QVERIFY(trigger.fired());
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), QList<int>());
    // What was written before it became read-only, nothing after.
    QCOMPARE(sessionLog(), logBefore + sessionHeader() + started(kFirstSave, "10"));
    const QString problem = QStringLiteral("The log Kelvado.LOG could not be opened: Operation not permitted");
    QCOMPARE(m_statuses.count(problem), 1);
    QCOMPARE(m_f->messages.messages,
             QStringList{problem + QStringLiteral("\nThe downloads went on; the log is missing their records.")});

    // Writable again: the next (empty) session's records arrive.
    m_f->messages.messages.clear();
    const QStringList logAfter = sessionLog();
    pressExtract(*w);
    checkEnded(*w);
    QCOMPARE(sessionLog(), logAfter + sessionHeader() + sessionEnd());
    QCOMPARE(m_f->messages.messages, QStringList());
    checkStillResponsive(*w);
}

void TestFaultMatrix::settingsFileIsAFolder()
{
    QVERIFY(QDir().mkdir(QStringLiteral("RPTVIP.dat")));
    auto w = startWithGuide(QStringLiteral("12"));
    QVERIFY2(w, "the guide did not list the two titles");
    QCOMPARE(m_f->messages.messages.size(), 1);
    const QString told = m_f->messages.messages.first();
    QVERIFY2(told.startsWith(QStringLiteral("The settings could not be saved to RPTVIP.dat: ")), qPrintable(told));
    QVERIFY2(told.endsWith(
                 QStringLiteral("\nThe settings stay in use until Kelvado ends, but will not be remembered.")),
             qPrintable(told));
    QCOMPARE(w->DelayFactor, QStringLiteral("12"));
    tickBothAndMeasure(*w);
    w->Check1->setChecked(true); // saves again and fails again, without telling it again
    QCOMPARE(w->DelayFactor, QStringLiteral("Default"));

    pressExtract(*w);

    checkEnded(*w);
    QCOMPARE(m_f->recorder.journal(), (QStringList{tolvane(kFirstFile), tolvane(kSecondFile)}));
    QCOMPARE(sessionLog(),
             sessionHeader() + titleLog(kFirstSave, "Default") + titleLog(kSecondSave, "Default") + sessionEnd());
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QVERIFY(QFileInfo(QStringLiteral("RPTVIP.dat")).isDir());
    QCOMPARE(QDir(QStringLiteral("RPTVIP.dat")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(m_f->messages.messages, QStringList{told});
    checkStillResponsive(*w);
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
    m_f->recorder.setCatalog({{"Known", kSecondFile, kSecondSize}});
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
    QVERIFY2(m_f->messages.messages.size() <= 1, qPrintable(m_f->messages.messages.join(u'|')));
    if (!m_f->messages.messages.isEmpty())
        QVERIFY2(m_f->messages.messages.first().startsWith(QStringLiteral("The guide ")),
                 qPrintable(m_f->messages.messages.first()));

    // Every row can be ticked and measured; garbage names get no size and the user hears which.
    m_f->messages.messages.clear();
    m_f->recorder.clearJournal();
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
    // The helper runs once for every name that is one plain file name, and for no other.
    QStringList measured;
    for (int i = 0; i < titles; ++i) {
        const QString name = usableRecorderName(w->FileNames[i]);
        if (!name.isEmpty() && name.compare(QStringLiteral("guide"), Qt::CaseInsensitive) != 0)
            measured << QStringLiteral("Tamrick ") + name;
    }
    QCOMPARE(m_f->recorder.journal(), measured);
    QCOMPARE(m_f->messages.messages.size(), titles > 0 ? 1 : 0);
    if (titles > 0)
        QVERIFY(m_f->messages.messages.first().startsWith(
            QStringLiteral("The size of these tagged titles could not be read from FStat.txt")));
    m_f->messages.messages.clear();
    checkNoFileStatLeft();
    checkStillResponsive(*w);
}

void TestFaultMatrix::guideOfTenThousandRecords()
{
    QList<Recording> catalog;
    for (int i = 0; i < 10000; ++i)
        catalog << Recording{QStringLiteral("Show %1").arg(i, 5, 10, QChar(u'0')),
                             QStringLiteral("2%1.mpg").arg(i, 9, 10, QChar(u'0')), 1000 + i};
    m_f->recorder.setCatalog(catalog);
    auto w = startWindow();
    w->Session.setFixedPauses(0.1, 0.1);

    QTest::mouseClick(w->GetGuide, Qt::LeftButton);

    QCOMPARE(m_f->recorder.journal(), (QStringList{"Tolvane 10.0.0.5 -g", "Tamrick guide"}));
    QCOMPARE(m_f->messages.messages,
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
    m_f->messages.messages.clear();
    tick(*w, {0, 200});
    clickList(*w);
    QCOMPARE(w->Text6->text(), grouped(catalog[0].size + catalog[200].size));
    m_f->recorder.clearJournal();
    pressExtract(*w);

    checkEnded(*w);
    QCOMPARE(m_f->recorder.journal(), (QStringList{tolvane(catalog[0].fileName), tolvane(catalog[200].fileName)}));
    const QString first = QStringLiteral("Show 00000_12 05 2003.mpg");
    const QString last = QStringLiteral("Show 00200_12 05 2003.mpg");
    QCOMPARE(readFile(first), recordingBytes(catalog[0].fileName, catalog[0].size));
    QCOMPARE(readFile(last), recordingBytes(catalog[200].fileName, catalog[200].size));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(first, "Default") + titleLog(last, "Default") + sessionEnd());
    QCOMPARE(m_f->messages.messages, QStringList());
    checkStillResponsive(*w);
}

void TestFaultMatrix::fileStatOfTenMegabytes_data()
{
    QTest::addColumn<QByteArray>("fileStat");
    QTest::addColumn<bool>("measured");

    const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
    QByteArray lines;
    for (int i = 0; i < 100 * 1024; ++i)
        lines += QByteArray(100, 'y') + "\r\n";
    QTest::addRow("the size, then 10 MB of lines") << "FileStat,Size=3000,Name=1070683200.mpg\r\n" + lines << true;
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

    QCOMPARE(m_f->recorder.journal(),
             (QStringList{"Tolvane 10.0.0.5 -g", "Tamrick guide", "Tamrick " + kSecondFile}));
    checkNoFileStatLeft();
    QCOMPARE(w->FileSizes[1], measured ? double(kSecondSize) : 0.0);
    QCOMPARE(w->Text6->text(), measured ? grouped(kSecondSize) : QString());
    const QStringList toldOnMeasuring =
        measured ? QStringList() : QStringList{notMeasuredMessage(QStringLiteral("Second (") + kSecondFile + u')')};
    QCOMPARE(m_f->messages.messages, toldOnMeasuring);
    m_f->recorder.clearJournal();

    pressExtract(*w);

    checkEnded(*w);
    QCOMPARE(m_f->recorder.journal(), QStringList{tolvane(kSecondFile)});
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kSecondSave, "Default") + sessionEnd());
    QCOMPARE(m_f->messages.messages,
             measured ? toldOnMeasuring
                      : toldOnMeasuring + QStringList{uncheckedMessage({kSecondSave + " (" + kSecondFile + ")"})});
    checkStillResponsive(*w);
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
