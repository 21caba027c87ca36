// Sessions in which a title cannot be completed: the title fails with its file
// intact under the recorder's name and its row ticked, and the session ends.
// The recorder's transfer faults are in the fault matrix.
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

} // namespace

class TestSessionFaults : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_f = std::make_unique<SessionFixture>(); }
    void cleanup() { m_f.reset(); }

    void oneTitleFails_data();
    void oneTitleFails();
    void toolCannotStartUnwaited();
    void nameAppearsWhileRenaming();
    void unsafeRecorderName();
    void logCannotBeWritten();

private:
    // Both titles ticked and measured, with short stall limits.
    std::unique_ptr<Form1> prepareTwoTitles(const QString &delay = QStringLiteral("Default"))
    {
        auto w = prepare(m_f->recorder, {{"First", kFirstFile, kFirstSize}, {"Second", kSecondFile, kSecondSize}},
                         {0, 1}, delay);
        StallLimits limits;
        limits.endedMs = 300;
        limits.runningMs = 700;
        w->Session.setStallLimits(limits);
        return w;
    }
    // One recorder title with only the second recording, ticked and measured.
    std::unique_ptr<Form1> prepareSecondOnly()
    {
        return prepare(m_f->recorder, {{"Second", kSecondFile, kSecondSize}}, {0});
    }

    std::unique_ptr<SessionFixture> m_f;
};

void TestSessionFaults::oneTitleFails_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<int>("namesTaken"); // of the six a title may be saved under
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qint64>("kept"); // bytes left under the recorder's name

    const QString base = QStringLiteral("Second_12 05 2003");
    QTest::addRow("oversized file") << QByteArray("oversize:500") << 0 << kSecondSave << "larger than expected"
                                    << kSecondSize + 500;
    QTest::addRow("all six names taken") << QByteArray() << 6 << base + "_05.mpg" << "save name taken" << kSecondSize;
}

void TestSessionFaults::oneTitleFails()
{
    QFETCH(QByteArray, fault);
    QFETCH(int, namesTaken);
    QFETCH(QString, saveName);
    QFETCH(QString, reason);
    QFETCH(qint64, kept);
    QStringList files{kSecondFile, "Kelvado.LOG", "RPTVIP.dat"};
    for (int i = 0; i < namesTaken; ++i) {
        files << QStringLiteral("Second_12 05 2003%1.mpg").arg(i ? QStringLiteral("_0%1").arg(i) : QString());
        writeFile(files.last(), "earlier " + files.last().toUtf8());
    }
    if (!fault.isEmpty())
        m_f->recorder.setFault(fault);
    auto w = prepareSecondOnly();
    QStringList statuses, shownLeft;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) { statuses << text; });
    connect(w->Text8, &QLineEdit::textChanged, w.get(), [&](const QString &text) { shownLeft << text; });

    pressExtract(*w);

    checkSessionEnded(*w);
    QCOMPARE(readFile(kSecondFile), recordingBytes(kSecondFile, kept));
    for (const QString &name : files.mid(3))
        QCOMPARE(readFile(name), "earlier " + name.toUtf8());
    checkFiles(files);
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(saveName, "Default", reason) + sessionEnd());
    QCOMPARE(statuses.contains(QStringLiteral("Renaming Mpeg")), false); // no rename was tried
    if (kept > kSecondSize)
        QVERIFY(shownLeft.contains(QString::number(kSecondSize - kept)));
    QCOMPARE(w->Text8->text(), QStringLiteral("0"));
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(m_f->messages.messages, QStringList{failureMessage({failedLine(saveName, kSecondFile, reason)})});
}

void TestSessionFaults::toolCannotStartUnwaited()
{
    auto w = prepareTwoTitles(QStringLiteral("5"));
    // A "Tolvane" in the working directory comes first, and it is no program.
    writeFile(QStringLiteral("Tolvane"), QByteArray("\x7f" "ELF not really", 15));
    QFile::setPermissions(QStringLiteral("Tolvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    pressExtract(*w);

    QCOMPARE(m_f->recorder.journal(), QStringList());
    const QStringList log = sessionLog();
    QCOMPARE(log.size(), 2 + 3 + 3 + 2);
    QCOMPARE(log.mid(0, 3), sessionHeader() + started(kFirstSave, "5"));
    QVERIFY2(log[3].startsWith(kFirstSave + " Failed: hh:mm:ss  Cannot run \"Tolvane\": "), qPrintable(log[3]));
    QCOMPARE(log[4], QStringLiteral(" "));
    QCOMPARE(log.mid(5, 1), started(kSecondSave, "5"));
    QCOMPARE(log.mid(8), sessionEnd());
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat", "Tolvane"}));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(m_f->messages.messages.size(), 1); // the unwaited start has no message of its own
    QVERIFY(m_f->messages.messages.first().contains(kFirstSave + " (" + kFirstFile + "): Cannot run \"Tolvane\": "));
}

void TestSessionFaults::nameAppearsWhileRenaming()
{
    auto w = prepareTwoTitles();
    // While "Renaming Mpeg" shows, another program takes the first title's
    // name in another letter case.
    const QString intruder = QStringLiteral("FIRST_12 05 2003.MPG");
    QStringList duringPause;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
        if (text == QStringLiteral("Renaming Mpeg") && w->Text4->text() == kFirstFile) {
            duringPause << QString::number(tickedRows(*w).size()) << w->Text5->text();
            QTimer::singleShot(200, w.get(), [intruder] { writeFile(intruder, "someone else's"); });
        }
    });

    pressExtract(*w);

    QCOMPARE(duringPause, (QStringList{"1", "1"})); // unticked and counted down for the rename...
    QCOMPARE(tickedRows(*w), QList<int>{0});         // ...and back once the rename was refused
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    QCOMPARE(readFile(intruder), QByteArray("someone else's"));
    QCOMPARE(readFile(kFirstFile), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(workingDirEntries(), (QStringList{kFirstFile, intruder, "Kelvado.LOG", "RPTVIP.dat", kSecondSave}));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kFirstSave, "Default", "save name taken")
                               + titleLog(kSecondSave, "Default") + sessionEnd());
    QCOMPARE(w->TotalSize, 0.0); // the first title's size taken off once, not twice
    QCOMPARE(m_f->messages.messages,
             QStringList{failureMessage({failedLine(kFirstSave, kFirstFile, "save name taken")})});
}

void TestSessionFaults::unsafeRecorderName()
{
    m_f->recorder.setCatalog({{"Second", kSecondFile, kSecondSize}});
    auto w = startWindow();
    fillTitles(*w, {{"Up", "../1070600000.mpg", 0}, {"Dot", ".", 0}, {"Second", kSecondFile, 0}});
    tick(*w, {0, 1, 2});
    w->TaggedCount = 3;

    pressExtract(*w);

    const QString unsafe = QStringLiteral("unsafe recorder file name");
    QCOMPARE(m_f->recorder.journal(), QStringList{tolvane(kSecondFile)});
    QCOMPARE(sessionLog(), sessionHeader() + titleLog("Up_12 05 2003.mpg", "Default", unsafe)
                               + titleLog("Dot_12 05 2003.mpg", "Default", unsafe) + titleLog(kSecondSave, "Default")
                               + sessionEnd());
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(tickedRows(*w), (QList<int>{0, 1}));
    QCOMPARE(m_f->messages.messages, QStringList{failureMessage({failedLine("Up_12 05 2003.mpg", "../1070600000.mpg",
                                                                             unsafe),
                                                                  failedLine("Dot_12 05 2003.mpg", ".", unsafe)})});
}

void TestSessionFaults::logCannotBeWritten()
{
    auto w = prepareTwoTitles();
    // A folder in the log's place: no append can succeed, whoever runs the test.
    QVERIFY(QFile::remove(QStringLiteral("Kelvado.LOG")));
    QVERIFY(QDir().mkdir(QStringLiteral("Kelvado.LOG")));
    QStringList aboutLog;
    connect(w->Text3, &QLineEdit::textChanged, w.get(), [&](const QString &text) {
        if (text.contains(QStringLiteral("Kelvado.LOG")))
            aboutLog << text;
    });

    pressExtract(*w);

    checkSessionEnded(*w);
    QCOMPARE(readFile(kFirstSave), recordingBytes(kFirstFile, kFirstSize));
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QCOMPARE(aboutLog.size(), 1);
    QVERIFY2(aboutLog.first().startsWith(QStringLiteral("The log Kelvado.LOG could not be opened")),
             qPrintable(aboutLog.first()));
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(m_f->messages.messages,
             QStringList{aboutLog.first() + "\nThe downloads went on; the log is missing their records."});
}

QTEST_MAIN(TestSessionFaults)
#include "tst_session_faults.moc"
