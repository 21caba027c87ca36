// Download sessions in which a title cannot be completed: each such title ends
// as failed with its file intact under the recorder's name and its row ticked,
// and the session goes on to its end.
#include "tst_session_support.h"

#include <QDir>
#include <QTimer>

using namespace sessiontest;

namespace {

const QString kFirstSave = QStringLiteral("First_12 05 2003.mpg");
const QString kSecondSave = QStringLiteral("Second_12 05 2003.mpg");
const QString kFirstFile = QStringLiteral("1070600000.mpg");
const QString kSecondFile = QStringLiteral("1070683200.mpg");
constexpr qint64 kFirstSize = 200000;
constexpr qint64 kSecondSize = 3000;

QList<Recording> twoRecordings()
{
    return {{"First", kFirstFile, kFirstSize}, {"Second", kSecondFile, kSecondSize}};
}

QString failureMessage(const QString &lines)
{
    return QStringLiteral("Not downloaded completely (the rows stay ticked; any partial file keeps the "
                          "recorder's name):\n")
        + lines;
}

} // namespace

class TestSessionFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void transferEndsEarly_data();
    void transferEndsEarly();
    void fileLargerThanExpected();
    void toolNotFoundWaited();
    void toolCannotStartUnwaited();
    void allSixNamesTaken();
    void nameAppearsWhileRenaming();
    void unsafeRecorderName();
    void logCannotBeWritten();

private:
    // Two titles ticked and measured; the window is ready for Extract.
    std::unique_ptr<Form1> prepareTwoTitles(const QString &delay);

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;
    std::unique_ptr<Recorder> m_recorder;
};

void TestSessionFaults::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_messages = std::make_unique<MessageCapture>();
    m_recorder = std::make_unique<Recorder>();
}

void TestSessionFaults::cleanup()
{
    m_recorder.reset();
    m_messages.reset();
    m_dir.reset();
}

std::unique_ptr<Form1> TestSessionFaults::prepareTwoTitles(const QString &delay)
{
    m_recorder->setCatalog(twoRecordings());
    auto w = startWindow();
    if (delay != QStringLiteral("Default"))
        typeDelay(*w, delay);
    fillTitles(*w, twoRecordings());
    tick(*w, {0, 1});
    clickList(*w);
    StallLimits limits;
    limits.endedMs = 300;
    limits.runningMs = 700;
    w->Session.setStallLimits(limits);
    m_recorder->clearJournal();
    return w;
}

void TestSessionFaults::transferEndsEarly_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<qint64>("partial"); // bytes of the first title left on disk; -1: no file
    QTest::addColumn<QString>("reason");

    QTest::addRow("stall, waited") << "Default" << QByteArray("hang:70000") << qint64(70000) << "stalled";
    QTest::addRow("stall, unwaited") << "10" << QByteArray("hang:70000") << qint64(70000) << "stalled";
    QTest::addRow("early exit, waited") << "Default" << QByteArray("stop:65000") << qint64(65000) << "stopped short";
    QTest::addRow("early exit, unwaited") << "10" << QByteArray("stop:65000") << qint64(65000) << "stopped short";
    QTest::addRow("no file, waited") << "Default" << QByteArray("exit") << qint64(-1) << "stopped short";
    QTest::addRow("no file, unwaited") << "10" << QByteArray("exit") << qint64(-1) << "stopped short";
}

void TestSessionFaults::transferEndsEarly()
{
    QFETCH(QString, delay);
    QFETCH(QByteArray, fault);
    QFETCH(qint64, partial);
    QFETCH(QString, reason);
    auto w = prepareTwoTitles(delay);
    m_recorder->setFault(fault, kFirstFile);
    QCOMPARE(w->Text5->text(), QStringLiteral("2"));

    pressExtract(*w);

    const QString number = delay == QStringLiteral("Default") ? QString() : delay;
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane(kFirstFile, number), tolvane(kSecondFile, number)}));
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, delay) + failed(kFirstSave, reason)
                               + started(kSecondSave, delay) + finished(kSecondSave) + sessionEnd());
    QStringList files{"Kelvado.LOG", "RPTVIP.dat", kSecondSave};
    if (partial >= 0) {
        QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, partial));
        files << kFirstFile;
    }
    files.sort();
    QCOMPARE(workingDirEntries(), files);
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));

    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->Text3->text(), QStringLiteral("Session End"));
    QVERIFY(!w->DownloadInProgress);
    QVERIFY(w->List1->isEnabled());
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage(kFirstSave + " (" + kFirstFile + "): " + reason)});
}

void TestSessionFaults::fileLargerThanExpected()
{
    const QList<Recording> list{{"Second", kSecondFile, kSecondSize}};
    m_recorder->setCatalog(list);
    m_recorder->setFault("oversize:500");
    auto w = startWindow();
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);
    QStringList shownLeft;
    connect(w->Text8, &QLineEdit::textChanged, w.get(), [&](const QString &text) { shownLeft << text; });

    pressExtract(*w);

    QCOMPARE(readFile(kSecondFile), recordingBytes(kSecondFile, kSecondSize + 500));
    QVERIFY(!QFile::exists(kSecondSave));
    QCOMPARE(sessionLog(), sessionHeader() + started(kSecondSave, "Default")
                               + failed(kSecondSave, "larger than expected") + sessionEnd());
    QVERIFY(shownLeft.contains(QStringLiteral("-500")));
    QCOMPARE(w->Text8->text(), QStringLiteral("0"));
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage(kSecondSave + " (" + kSecondFile + "): larger than expected")});
}

void TestSessionFaults::toolNotFoundWaited()
{
    auto w = prepareTwoTitles(QStringLiteral("Default"));
    m_recorder->hideTools();
    QStringList statuses;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) { statuses << text; });

    pressExtract(*w);

    const QString error = QStringLiteral("Cannot run \"Tolvane\": the program was not found in the working "
                                         "directory or on the search path.");
    QCOMPARE(m_recorder->journal(), QStringList());
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, "Default") + failed(kFirstSave, error)
                               + started(kSecondSave, "Default") + failed(kSecondSave, error) + sessionEnd());
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat"}));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(statuses.count(QStringLiteral("Failed: ") + error), 2);
    // Each waited run tells its failure as it happens; the summary follows the end.
    QCOMPARE(m_messages->messages,
             (QStringList{error, error,
                          failureMessage(kFirstSave + " (" + kFirstFile + "): " + error + "\n" + kSecondSave + " ("
                                         + kSecondFile + "): " + error)}));
}

void TestSessionFaults::toolCannotStartUnwaited()
{
    auto w = prepareTwoTitles(QStringLiteral("5"));
    // A "Tolvane" in the working directory comes first, and it is no program.
    writeFile(QStringLiteral("Tolvane"), QByteArray("\x7f" "ELF not really", 15));
    QFile::setPermissions(QStringLiteral("Tolvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    pressExtract(*w);

    QCOMPARE(m_recorder->journal(), QStringList());
    const QStringList log = sessionLog();
    QCOMPARE(log.size(), 2 + 3 + 3 + 2);
    QCOMPARE(log.mid(0, 3), sessionHeader() + started(kFirstSave, "5"));
    QVERIFY2(log[3].startsWith(kFirstSave + " Failed: hh:mm:ss  Cannot run \"Tolvane\": "), qPrintable(log[3]));
    QCOMPARE(log[4], QStringLiteral(" "));
    QCOMPARE(log.mid(5, 1), started(kSecondSave, "5"));
    QCOMPARE(log.mid(8), sessionEnd());
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat", "Tolvane"}));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(m_messages->messages.size(), 1); // only the summary: the unwaited start has no message of its own
    QVERIFY(m_messages->messages.first().contains(kFirstSave + " (" + kFirstFile + "): Cannot run \"Tolvane\": "));
}

void TestSessionFaults::allSixNamesTaken()
{
    const QList<Recording> list{{"Second", kSecondFile, kSecondSize}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    const QString base = QStringLiteral("Second_12 05 2003");
    const QStringList taken{base + ".mpg", base + "_01.mpg", base + "_02.mpg",
                            base + "_03.mpg", base + "_04.mpg", base + "_05.mpg"};
    for (const QString &name : taken)
        writeFile(name, "earlier " + name.toUtf8());
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);
    int beforeRename = 0;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
        beforeRename += text == QStringLiteral("Renaming Mpeg");
    });

    pressExtract(*w);

    QCOMPARE(readFile(kSecondFile), recordingBytes(kSecondFile, kSecondSize));
    for (const QString &name : taken)
        QCOMPARE(readFile(name), "earlier " + name.toUtf8());
    QStringList files = taken;
    files << kSecondFile << "Kelvado.LOG" << "RPTVIP.dat";
    files.sort();
    QCOMPARE(workingDirEntries(), files);
    QCOMPARE(sessionLog(), sessionHeader() + started(base + "_05.mpg", "Default")
                               + failed(base + "_05.mpg", "save name taken") + sessionEnd());
    QCOMPARE(beforeRename, 0);
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage(base + "_05.mpg (" + kSecondFile + "): save name taken")});
}

void TestSessionFaults::nameAppearsWhileRenaming()
{
    auto w = prepareTwoTitles(QStringLiteral("Default"));
    // While "Renaming Mpeg" shows, another program takes the first title's name
    // in another letter case.
    const QString intruder = QStringLiteral("FIRST_12 05 2003.MPG");
    QStringList tickedDuringPause;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
        if (text == QStringLiteral("Renaming Mpeg") && w->Text4->text() == kFirstFile) {
            tickedDuringPause << QString::number(tickedRows(*w).size()) << w->Text5->text();
            QTimer::singleShot(200, w.get(), [intruder] { writeFile(intruder, "someone else's"); });
        }
    });

    pressExtract(*w);

    QCOMPARE(tickedDuringPause, (QStringList{"1", "1"})); // unticked and counted down for the rename...
    QCOMPARE(tickedRows(*w), QList<int>{0});              // ...and back once the rename was refused
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(readFile(intruder), QByteArray("someone else's"));
    QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(workingDirEntries(), (QStringList{kFirstFile, intruder, "Kelvado.LOG", "RPTVIP.dat", kSecondSave}));
    QCOMPARE(sessionLog(), sessionHeader() + started(kFirstSave, "Default") + failed(kFirstSave, "save name taken")
                               + started(kSecondSave, "Default") + finished(kSecondSave) + sessionEnd());
    // The first title's size was taken off the total once, not twice.
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage(kFirstSave + " (" + kFirstFile + "): save name taken")});
}

void TestSessionFaults::unsafeRecorderName()
{
    const QList<Recording> list{{"Up", "../1070600000.mpg", 0}, {"Dot", ".", 0}, {"Second", kSecondFile, 0}};
    m_recorder->setCatalog({{"Second", kSecondFile, kSecondSize}});
    auto w = startWindow();
    fillTitles(*w, list);
    tick(*w, {0, 1, 2});
    w->TaggedCount = 3;

    pressExtract(*w);

    QCOMPARE(m_recorder->journal(), QStringList{tolvane(kSecondFile)});
    QCOMPARE(sessionLog(), sessionHeader() + started("Up_12 05 2003.mpg", "Default")
                               + failed("Up_12 05 2003.mpg", "unsafe recorder file name")
                               + started("Dot_12 05 2003.mpg", "Default")
                               + failed("Dot_12 05 2003.mpg", "unsafe recorder file name")
                               + started(kSecondSave, "Default") + finished(kSecondSave) + sessionEnd());
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(m_messages->messages,
             QStringList{failureMessage("Up_12 05 2003.mpg (../1070600000.mpg): unsafe recorder file name\n"
                                        "Dot_12 05 2003.mpg (.): unsafe recorder file name")});
}

void TestSessionFaults::logCannotBeWritten()
{
    auto w = prepareTwoTitles(QStringLiteral("Default"));
    // A folder in the log's place: no append can succeed, whoever runs the test.
    QVERIFY(QFile::remove(QStringLiteral("Kelvado.LOG")));
    QVERIFY(QDir().mkdir(QStringLiteral("Kelvado.LOG")));
    QStringList statuses;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) { statuses << text; });

    pressExtract(*w);

    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QStringList aboutLog;
    for (const QString &status : statuses) {
        if (status.contains(QStringLiteral("Kelvado.LOG")))
            aboutLog << status;
    }
    QCOMPARE(aboutLog.size(), 1);
    QVERIFY2(aboutLog.first().startsWith(QStringLiteral("The log Kelvado.LOG could not be opened")),
             qPrintable(aboutLog.first()));
    QCOMPARE(statuses.last(), QStringLiteral("Session End"));
    QCOMPARE(tickedRows(*w), QList<int>());
    // Easy to miss in the status line, so the end message says it again.
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->messages.first().startsWith(aboutLog.first()));
    QVERIFY(m_messages->messages.first().endsWith(QStringLiteral("the log is missing their records.")));
}

QTEST_MAIN(TestSessionFaults)
#include "tst_session_faults.moc"
