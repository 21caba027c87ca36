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
    void recorderNames_data();
    void recorderNames();
    void leftoverUnderRecorderName_data();
    void leftoverUnderRecorderName();
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

void TestSessionFaults::recorderNames_data()
{
    QTest::addColumn<QString>("field");      // the guide's file name, as read
    QTest::addColumn<QString>("measuredAs"); // what the helper is given; empty: no tool runs for it
    QTest::addColumn<QString>("reason");     // empty: saved

    const QString unsafe = QStringLiteral("unsafe recorder file name");
    const QString own = QStringLiteral("the recorder's file name is one of Kelvado's own files");
    // The recorder's file system ignores trailing blanks: the tool writes the name without them.
    QTest::addRow("trailing blanks") << kFirstFile + "   " << kFirstFile << "";
    QTest::addRow("up a folder") << "../" + kFirstFile << "" << unsafe;
    QTest::addRow("dot") << "." << "" << unsafe;
    QTest::addRow("absolute") << "/etc/passwd" << "" << unsafe;
    QTest::addRow("an option") << "-g" << "" << unsafe;
    QTest::addRow("an option after a blank") << "x.mpg -g" << "" << unsafe;
    QTest::addRow("open quote") << "\".." << "" << unsafe;
    QTest::addRow("empty quotes") << "\"\"" << "" << unsafe;
    QTest::addRow("backslash") << "..\\x.mpg" << "" << unsafe;
    QTest::addRow("the helper's guide word") << "Guide" << "" << "";
    QTest::addRow("the log") << "kelvado.log" << "kelvado.log" << own;
    QTest::addRow("the settings") << "RPTVIP.DAT" << "RPTVIP.DAT" << own;
}

void TestSessionFaults::recorderNames()
{
    QFETCH(QString, field);
    QFETCH(QString, measuredAs);
    QFETCH(QString, reason);
    const QString usable = withoutTrailingBlanks(field);
    // The recorder's catalog would not take the unusable names.
    m_f->recorder.setCatalog({{"First", reason.isEmpty() || !measuredAs.isEmpty() ? usable : kFirstFile, kFirstSize},
                              {"Second", kSecondFile, kSecondSize}});
    auto w = startWindow();
    fillTitles(*w, {{"First", field, 0}, {"Second", kSecondFile, 0}});
    tick(*w, {0, 1});
    clickList(*w);
    const QStringList logBefore = logLines();

    QStringList helper = measuredAs.isEmpty() ? QStringList() : QStringList{"Tamrick " + measuredAs};
    QCOMPARE(m_f->recorder.journal(), helper << "Tamrick " + kSecondFile);
    const bool measured = !measuredAs.isEmpty();
    QStringList told;
    if (!measured)
        told << QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so they count as 0 "
                               "bytes in the total:\n\nFirst (%1)\n\nClick the list to measure again.")
                    .arg(field);
    QCOMPARE(m_f->messages.messages, told);
    m_f->recorder.clearJournal();

    pressExtract(*w);

    checkSessionEnded(*w);
    QStringList transfers = reason.isEmpty() ? QStringList{tolvane(usable)} : QStringList();
    QCOMPARE(m_f->recorder.journal(), transfers << tolvane(kSecondFile));
    QCOMPARE(logLines().mid(0, logBefore.size()), logBefore);
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(kFirstSave, "Default", reason) + titleLog(kSecondSave, "Default")
                               + sessionEnd());
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QStringList files{"Kelvado.LOG", "RPTVIP.dat", kSecondSave};
    if (reason.isEmpty()) {
        QCOMPARE(readFile(kFirstSave), recordingBytes(usable, kFirstSize));
        files << kFirstSave;
    }
    checkFiles(files);
    QCOMPARE(tickedRows(*w), reason.isEmpty() ? QList<int>() : QList<int>{0});
    QStringList end;
    if (!reason.isEmpty())
        end << failureMessage({failedLine(kFirstSave, measuredAs.isEmpty() ? field : usable, reason)});
    if (reason.isEmpty() && !measured)
        end << uncheckedMessage({kFirstSave + " (" + usable + ")"});
    if (!end.isEmpty())
        told << end.join("\n\n");
    QCOMPARE(m_f->messages.messages, told);
}

void TestSessionFaults::leftoverUnderRecorderName_data()
{
    QTest::addColumn<QStringList>("planted"); // files under the recorder's name before the session
    QTest::addColumn<QString>("kind");        // "file", "link" or "folder": what the first one is
    QTest::addColumn<QByteArray>("measureFault");
    QTest::addColumn<QStringList>("keptAs"); // empty: the title fails and no tool runs

    const QString kept = kSecondFile + ".kept-";
    QTest::addRow("partial of a killed session") << QStringList{kSecondFile} << "file" << QByteArray()
                                                 << QStringList{kept + "1"};
    QTest::addRow("partial, size not measured") << QStringList{kSecondFile} << "file" << QByteArray("no-fstat")
                                                << QStringList{kept + "1"};
    QTest::addRow("other letter case, first kept name taken")
        << QStringList{"1070683200.MPG", "1070683200.MPG.kept-1"} << "file" << QByteArray()
        << QStringList{"1070683200.MPG.kept-2"};
    QTest::addRow("two letter cases") << QStringList{kSecondFile, "1070683200.Mpg"} << "file" << QByteArray()
                                      << QStringList{kept + "1", "1070683200.Mpg.kept-2"};
    QTest::addRow("link to a file outside") << QStringList{kSecondFile} << "link" << QByteArray() << QStringList();
    QTest::addRow("folder") << QStringList{"1070683200.MPG"} << "folder" << QByteArray() << QStringList();
}

void TestSessionFaults::leftoverUnderRecorderName()
{
    QFETCH(QStringList, planted);
    QFETCH(QString, kind);
    QFETCH(QByteArray, measureFault);
    QFETCH(QStringList, keptAs);
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath(QStringLiteral("elsewhere.mpg"));
    writeFile(outsideFile, "not to be written through a link");
    for (const QString &name : planted) {
        if (kind == QStringLiteral("link") && name == planted.first())
            QVERIFY(QFile::link(outsideFile, name));
        else if (kind == QStringLiteral("folder") && name == planted.first())
            QVERIFY(QDir().mkdir(name));
        else
            writeFile(name, "earlier " + name.toUtf8());
    }
    if (!measureFault.isEmpty())
        m_f->recorder.setFault(measureFault);
    auto w = prepareSecondOnly();
    m_f->recorder.setFault({});
    m_f->messages.messages.clear();

    pressExtract(*w);

    checkSessionEnded(*w);
    QCOMPARE(readFile(outsideFile), QByteArray("not to be written through a link"));
    QStringList files = QStringList{"Kelvado.LOG", "RPTVIP.dat"} + planted;
    if (keptAs.isEmpty()) {
        const QString reason = planted.first() + " is in the folder and is not a plain file";
        QCOMPARE(m_f->recorder.journal(), QStringList());
        QCOMPARE(sessionLog(), sessionHeader() + titleLog(kSecondSave, "Default", reason) + sessionEnd());
        QCOMPARE(m_f->messages.messages, QStringList{failureMessage({failedLine(kSecondSave, kSecondFile, reason)})});
        checkFiles(files);
        return;
    }
    QCOMPARE(m_f->recorder.journal(), QStringList{tolvane(kSecondFile)});
    QCOMPARE(readFile(kSecondSave), recordingBytes(kSecondFile, kSecondSize));
    QStringList keptLines, keptLog;
    for (int i = 0; i < keptAs.size(); ++i) {
        QCOMPARE(readFile(keptAs[i]), "earlier " + planted[i].toUtf8());
        files.removeOne(planted[i]);
        files << keptAs[i];
        keptLines << planted[i] + " is now " + keptAs[i];
        keptLog << kSecondSave + " Kept: hh:mm:ss  " + planted[i] + " was already in the folder, now " + keptAs[i];
    }
    checkFiles(files << kSecondSave);
    const QStringList log = titleLog(kSecondSave, "Default");
    QCOMPARE(sessionLog(), sessionHeader() + log.mid(0, 1) + keptLog + log.mid(1) + sessionEnd());
    QStringList end;
    if (!measureFault.isEmpty())
        end << uncheckedMessage({kSecondSave + " (" + kSecondFile + ")"});
    end << QStringLiteral("Files already under a recorder's file name were kept, renamed:\n") + keptLines.join(u'\n');
    QCOMPARE(m_f->messages.messages, QStringList{end.join("\n\n")});
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
