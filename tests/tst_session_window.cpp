// Download sessions driven through the main window against the simulated
// recorder: the command lines in the recorder's journal, the files left in the
// working directory byte for byte, the log lines and the display boxes.
#include "tst_session_support.h"

#include "download/SaveName.h"

#include <QTimer>

using namespace sessiontest;

namespace {

const QString kShow = QStringLiteral("Show_12 05 2003");

QList<Recording> tenRecordings()
{
    QList<Recording> list;
    for (int i = 0; i < 10; ++i) {
        list << Recording{QStringLiteral("Title %1").arg(i),
                          QStringLiteral("10706832%1.mpg").arg(i, 2, 10, QChar(u'0')),
                          20000 + 1000 * i, QStringLiteral("01/%1/2004").arg(i + 10)};
    }
    return list;
}

} // namespace

class TestSessionWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nothingTaggedDoesNothing();
    void oneTitleWithDefaultDelay();
    void delayForms_data();
    void delayForms();
    void rowsInRowOrder();
    void takenNames_data();
    void takenNames();
    void slashesAndQuoteInTitle();
    void titleContainingMpg();
    void emptySessionAfterSession();
    void rowTickedAfterMeasuring();
    void windowStaysUsable();
    void progressDisplays();
    void moreTitlesThanTheQueueHolds();

private:
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;
    std::unique_ptr<Recorder> m_recorder;
};

void TestSessionWindow::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_messages = std::make_unique<MessageCapture>();
    m_recorder = std::make_unique<Recorder>();
    Form1::setProgramExit([] { QFAIL("the program was ended"); });
}

void TestSessionWindow::cleanup()
{
    Form1::setProgramExit({});
    m_recorder.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestSessionWindow::nothingTaggedDoesNothing()
{
    m_recorder->setCatalog({{"Show", "1.mpg", 1000}});
    auto w = startWindow();
    fillTitles(*w, {{"Show", "1.mpg", 1000}});
    tick(*w, {0}); // ticked, but the list was never clicked: nothing is tagged
    const QByteArray logBefore = readFile(QStringLiteral("Kelvado.LOG"));
    const QStringList filesBefore = workingDirEntries();

    pressExtract(*w);

    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), logBefore);
    QCOMPARE(workingDirEntries(), filesBefore);
    QCOMPARE(m_recorder->journal(), QStringList());
    QCOMPARE(w->Text3->text(), QString());
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(m_messages->messages, QStringList());
}

void TestSessionWindow::oneTitleWithDefaultDelay()
{
    const QList<Recording> catalog{{"News", "1070600000.mpg", 54321, "11/30/2003"},
                                   {"Movie Part 1/2 (Repeat)", "1070683200.mpg", 123457, "12/05/2003"},
                                   {"Late Show", "1070700000.mpg", 7000, "12/06/2003"}};
    m_recorder->setCatalog(catalog);
    auto w = startWindow();
    QCOMPARE(w->DelayFactor, QStringLiteral("Default"));
    QTest::mouseClick(w->GetGuide, Qt::LeftButton);
    QCOMPARE(w->TitleCount, short(3));
    tick(*w, {1});
    clickList(*w);
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    m_recorder->clearJournal();

    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    pressExtract(*w);
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1000);

    const QString saved = QStringLiteral("Movie Part 1 2_12 05 2003.mpg");
    QCOMPARE(m_recorder->journal(), QStringList{tolvane("1070683200.mpg")});
    QCOMPARE(sessionLog(), sessionHeader() + started(saved, "Default") + finished(saved) + sessionEnd());
    const QStringList raw = logLines();
    QCOMPARE(raw.size(), 9);
    const QDateTime headerTime = QDateTime::fromString(raw[2].mid(20), QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    QVERIFY2(headerTime >= before.addMSecs(-before.time().msec()) && headerTime <= after, qPrintable(raw[2]));
    QCOMPARE(raw[3], QStringLiteral("        "));

    QCOMPARE(workingDirEntries(), (QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG", saved, "RPTVIP.dat"}));
    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 123457));

    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(w->Text3->text(), QStringLiteral("Session End"));
    QCOMPARE(w->Text4->text(), QString());
    QCOMPARE(w->Text7->text(), QString());
    QCOMPARE(w->Text8->text(), QStringLiteral("0"));
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(w->TaggedCount, short(1)); // recounted only by the next click on the list
    QVERIFY(!w->DownloadInProgress);
    QVERIFY(w->List1->isEnabled());
    QCOMPARE(screenPointer(), ScreenPointer::Default);
    QCOMPARE(w->Session.SaveAsName, saved);
    QCOMPARE(w->Session.TaggedFileName[1], QStringLiteral("1070683200.mpg"));
    QCOMPARE(w->Session.TaggedIndex[1], short(1));
    QCOMPARE(w->Session.CurrentSize, 123457.0);
    QCOMPARE(m_messages->messages, QStringList());
}

void TestSessionWindow::delayForms_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("tail"); // what the command line ends with after the file name

    QTest::addRow("10") << "10" << " 10";
    QTest::addRow("letters") << "slow" << " 0";
    QTest::addRow("fraction") << "2.5" << " 2.5";
    QTest::addRow("Default and more runs once, waited") << "Default 5" << "";
    QTest::addRow("lower-case default") << "default" << " 0";
}

void TestSessionWindow::delayForms()
{
    QFETCH(QString, delay);
    QFETCH(QString, tail);
    const QList<Recording> list{{"Show", "1070683200.mpg", 65536}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    typeDelay(*w, delay);
    QCOMPARE(w->DelayFactor, delay);
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);
    m_recorder->clearJournal();

    pressExtract(*w);

    QCOMPARE(m_recorder->journal(), QStringList{tolvane("1070683200.mpg") + tail});
    // The log shows the delay exactly as typed.
    QCOMPARE(sessionLog(), sessionHeader() + started(kShow + ".mpg", delay) + finished(kShow + ".mpg") + sessionEnd());
    QCOMPARE(readFile(kShow + ".mpg"), recordingBytes("1070683200.mpg", 65536));
    QVERIFY(!QFile::exists(QStringLiteral("1070683200.mpg")));
    QCOMPARE(m_messages->messages, QStringList());
}

void TestSessionWindow::rowsInRowOrder()
{
    const QList<Recording> list = tenRecordings();
    m_recorder->setCatalog(list);
    auto w = startWindow();
    typeDelay(*w, QStringLiteral("3"));
    fillTitles(*w, list);
    tick(*w, {9, 2, 5});
    clickList(*w);
    QCOMPARE(w->Text5->text(), QStringLiteral("3"));
    m_recorder->clearJournal();

    pressExtract(*w);

    QStringList expectedJournal;
    QStringList expectedLog = sessionHeader();
    for (int row : {2, 5, 9}) {
        expectedJournal << tolvane(list[row].fileName, "3");
        const QString saved = saveNameFor(list[row].title, list[row].date);
        expectedLog << started(saved, "3") << finished(saved);
        QCOMPARE(readFile(saved), recordingBytes(list[row].fileName, list[row].size));
    }
    QCOMPARE(m_recorder->journal(), expectedJournal);
    QCOMPARE(sessionLog(), expectedLog + sessionEnd());
    QCOMPARE(workingDirEntries(),
             (QStringList{"Kelvado.LOG", "RPTVIP.dat", "Title 2_01 12 2004.mpg", "Title 5_01 15 2004.mpg",
                          "Title 9_01 19 2004.mpg"}));
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    QCOMPARE(w->Session.TaggedIndex[1], short(2));
    QCOMPARE(w->Session.TaggedIndex[2], short(5));
    QCOMPARE(w->Session.TaggedIndex[3], short(9));
}

void TestSessionWindow::takenNames_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("saved");

    QTest::addRow("plain name taken") << QStringList{kShow + ".mpg"} << kShow + "_01.mpg";
    QTest::addRow("plain and _01 taken") << QStringList{kShow + ".mpg", kShow + "_01.mpg"} << kShow + "_02.mpg";
    QTest::addRow("only _01 taken") << QStringList{kShow + "_01.mpg"} << kShow + ".mpg";
    QTest::addRow("taken in other letter case") << QStringList{"SHOW_12 05 2003.MPG"} << kShow + "_01.mpg";
    QTest::addRow("four taken") << QStringList{kShow + ".mpg", kShow + "_01.mpg", kShow + "_02.mpg", kShow + "_03.mpg"}
                                << kShow + "_04.mpg";
}

void TestSessionWindow::takenNames()
{
    QFETCH(QStringList, present);
    QFETCH(QString, saved);
    const QList<Recording> list{{"Show   ", "1070683200.mpg", 30000}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    for (const QString &name : present)
        writeFile(name, "kept: " + name.toUtf8());
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);

    pressExtract(*w);

    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 30000));
    for (const QString &name : present)
        QCOMPARE(readFile(name), "kept: " + name.toUtf8());
    QStringList expectedFiles = present;
    expectedFiles << saved << "Kelvado.LOG" << "RPTVIP.dat";
    expectedFiles.sort();
    QCOMPARE(workingDirEntries(), expectedFiles);
    QCOMPARE(sessionLog(), sessionHeader() + started(saved, "Default") + finished(saved) + sessionEnd());
}

void TestSessionWindow::slashesAndQuoteInTitle()
{
    const QList<Recording> list{{"He said \"Hi\"/Bye: now; ok   ", "1070683200.mpg", 4096, "01/02/2004"}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);

    pressExtract(*w);

    const QString saved = QStringLiteral("He said  Hi  Bye  now  ok_01 02 2004.mpg");
    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 4096));
    QCOMPARE(workingDirEntries(), (QStringList{saved, "Kelvado.LOG", "RPTVIP.dat"}));
    QCOMPARE(sessionLog(), sessionHeader() + started(saved, "Default") + finished(saved) + sessionEnd());
}

void TestSessionWindow::titleContainingMpg()
{
    const QList<Recording> list{{"clip.mpg", "1070683200.mpg", 5000, "06/07/2008"}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    writeFile(QStringLiteral("clip.mpg_06 07 2008.mpg"), "older");
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);

    pressExtract(*w);

    const QString saved = QStringLiteral("clip_01.mpg_06 07 2008_01.mpg");
    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 5000));
    QCOMPARE(readFile(QStringLiteral("clip.mpg_06 07 2008.mpg")), QByteArray("older"));
    QCOMPARE(sessionLog(), sessionHeader() + started(saved, "Default") + finished(saved) + sessionEnd());
}

void TestSessionWindow::emptySessionAfterSession()
{
    const QList<Recording> list{{"Show", "1070683200.mpg", 2000}};
    m_recorder->setCatalog(list);
    auto w = startWindow();
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);
    pressExtract(*w);
    const QStringList firstSession = sessionLog();
    QCOMPARE(firstSession.size(), 7);
    m_recorder->clearJournal();
    const QStringList filesAfterFirst = workingDirEntries();
    w->Text3->setText(QStringLiteral("changed"));

    pressExtract(*w); // TaggedCount still 1, but nothing is ticked

    QCOMPARE(sessionLog(), firstSession + sessionHeader() + sessionEnd());
    QCOMPARE(m_recorder->journal(), QStringList());
    QCOMPARE(workingDirEntries(), filesAfterFirst);
    QCOMPARE(w->Text3->text(), QStringLiteral("Session End"));
    QVERIFY(!w->DownloadInProgress);
    QVERIFY(w->List1->isEnabled());
    QCOMPARE(m_messages->messages, QStringList());
}

void TestSessionWindow::rowTickedAfterMeasuring()
{
    const QList<Recording> list{{"First", "1070600000.mpg", 9000}, {"Second", "1070683200.mpg", 1200000}};
    m_recorder->setCatalog(list);
    m_recorder->setRate(400000); // the unmeasured title arrives well after the pauses
    auto w = startWindow();
    typeDelay(*w, QStringLiteral("4"));
    fillTitles(*w, list);
    tick(*w, {0});
    clickList(*w);
    tick(*w, {1}); // after the last measuring: its size is not known
    QCOMPARE(w->FileSizes[1], 0.0);
    m_recorder->clearJournal();

    pressExtract(*w);

    // Renamed only once the tool had ended: the whole recording is there as the session ends.
    QCOMPARE(readFile(QStringLiteral("Second_12 05 2003.mpg")), recordingBytes("1070683200.mpg", 1200000));
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane("1070600000.mpg", "4"), tolvane("1070683200.mpg", "4")}));
    QCOMPARE(readFile(QStringLiteral("First_12 05 2003.mpg")), recordingBytes("1070600000.mpg", 9000));
    QCOMPARE(sessionLog(), sessionHeader() + started("First_12 05 2003.mpg", "4") + finished("First_12 05 2003.mpg")
                               + started("Second_12 05 2003.mpg", "4") + finished("Second_12 05 2003.mpg")
                               + sessionEnd());
    QCOMPARE(w->Text5->text(), QStringLiteral("-1")); // counted down from the 1 that was measured
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(tickedRows(*w), QList<int>());
}

void TestSessionWindow::windowStaysUsable()
{
    const QList<Recording> list{{"First", "1070600000.mpg", 400000}, {"Second", "1070683200.mpg", 1000}};
    m_recorder->setCatalog(list);
    m_recorder->setRate(400000);
    auto w = startWindow();
    typeDelay(*w, QStringLiteral("10"));
    fillTitles(*w, list);
    tick(*w, {0, 1});
    clickList(*w);
    m_recorder->clearJournal();

    struct Seen
    {
        bool running = false, listEnabled = true;
        ScreenPointer pointer = ScreenPointer::Default;
        QString status, recorderName, saveAs;
        QStringList messagesAfterQuit;
    } seen;
    QTimer::singleShot(300, w.get(), [&] {
        seen.running = w->DownloadInProgress;
        seen.listEnabled = w->List1->isEnabled();
        seen.pointer = screenPointer();
        seen.status = w->Text3->text();
        seen.recorderName = w->Text4->text();
        seen.saveAs = w->Text7->text();
        QTest::mouseClick(w->Quit, Qt::LeftButton);
        seen.messagesAfterQuit = m_messages->messages;
        QTest::mouseClick(w->Extract, Qt::LeftButton); // a second session does not start
        QCOMPARE(w->Text3->text(), QStringLiteral("Downloading "));
        typeDelay(*w, QStringLiteral("7"));
        w->IPAddress->clear();
        QTest::keyClicks(w->IPAddress, QStringLiteral("10.0.0.6"));
    });

    pressExtract(*w);

    QVERIFY(seen.running);
    QVERIFY(!seen.listEnabled);
    QCOMPARE(seen.pointer, ScreenPointer::Hourglass);
    QCOMPARE(seen.status, QStringLiteral("Downloading "));
    QCOMPARE(seen.recorderName, QStringLiteral("1070600000.mpg"));
    QCOMPARE(seen.saveAs, QStringLiteral("First_12 05 2003.mpg"));
    QCOMPARE(seen.messagesAfterQuit, QStringList{"Cannot quit - download in progress."});
    // The changes made during the first title apply to the second.
    QCOMPARE(m_recorder->journal(), (QStringList{tolvane("1070600000.mpg", "10"),
                                                 tolvane("1070683200.mpg", "7", "10.0.0.6")}));
    QCOMPARE(sessionLog(), sessionHeader() + started("First_12 05 2003.mpg", "10") + finished("First_12 05 2003.mpg")
                               + started("Second_12 05 2003.mpg", "7") + finished("Second_12 05 2003.mpg")
                               + sessionEnd());
    QCOMPARE(readFile(QStringLiteral("First_12 05 2003.mpg")), recordingBytes("1070600000.mpg", 400000));
    QCOMPARE(readFile(QStringLiteral("Second_12 05 2003.mpg")), recordingBytes("1070683200.mpg", 1000));
    QCOMPARE(m_messages->messages, QStringList{"Cannot quit - download in progress."});
}

void TestSessionWindow::progressDisplays()
{
    const QList<Recording> list{{"First", "1070600000.mpg", 600000}, {"Second", "1070683200.mpg", 300000}};
    m_recorder->setCatalog(list);
    m_recorder->setRate(400000);
    auto w = startWindow();
    typeDelay(*w, QStringLiteral("1"));
    fillTitles(*w, list);
    tick(*w, {0, 1});
    clickList(*w);
    QCOMPARE(shownNumber(w->Text6->text()), qint64(900000));

    struct Sample
    {
        QString file, left, total, tagged;
    };
    QList<Sample> samples;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, w.get(), [&] {
        if (w->DownloadInProgress)
            samples << Sample{w->Text4->text(), w->Text8->text(), w->Text6->text(), w->Text5->text()};
    });
    sampler.start(40);

    pressExtract(*w);
    sampler.stop();

    int midFirst = 0;
    qint64 lastLeft = 600000;
    for (const Sample &s : samples) {
        const qint64 left = shownNumber(s.left);
        const qint64 total = shownNumber(s.total);
        if (s.file == QStringLiteral("1070600000.mpg") && s.tagged == QStringLiteral("2")) {
            // Total left = this file's bytes left + the second title.
            QCOMPARE(total - left, qint64(300000));
            QVERIFY(left >= 0 && left <= lastLeft);
            lastLeft = left;
            if (left > 0 && left < 600000)
                ++midFirst;
        } else if (s.file == QStringLiteral("1070683200.mpg") && s.tagged == QStringLiteral("1")) {
            QCOMPARE(total, left);
            QVERIFY(left >= 0 && left <= 300000);
        }
    }
    QVERIFY2(midFirst >= 2, "the first title showed no progress while it arrived");
    QCOMPARE(w->Text8->text(), QStringLiteral("0"));
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
}

void TestSessionWindow::moreTitlesThanTheQueueHolds()
{
    // 201 ticked titles: the first 200 have names the session refuses, so they
    // fail at once; the last one does not fit the queue and is never started.
    QList<Recording> list;
    for (int i = 0; i < 200; ++i)
        list << Recording{QStringLiteral("T%1").arg(i), QStringLiteral("dir/%1.mpg").arg(i), 0};
    list << Recording{QStringLiteral("Last"), QStringLiteral("1070683200.mpg"), 0};
    m_recorder->setCatalog({{"Last", "1070683200.mpg", 100}});
    auto w = startWindow();
    fillTitles(*w, list);
    QList<int> all;
    for (int i = 0; i < 201; ++i)
        all << i;
    tick(*w, all);
    w->TaggedCount = 201; // as a click on the list would count them
    m_recorder->clearJournal();

    pressExtract(*w);

    QCOMPARE(m_recorder->journal(), QStringList());
    QCOMPARE(tickedRows(*w), all);
    QCOMPARE(w->Session.TaggedIndex[200], short(199));
    QCOMPARE(w->Session.TaggedFileName[200], QStringLiteral("dir/199.mpg"));
    const QStringList log = sessionLog();
    QCOMPARE(log.size(), 2 + 200 * 3 + 2);
    QCOMPARE(log.mid(2, 3),
             started("T0_12 05 2003.mpg", "Default") + failed("T0_12 05 2003.mpg", "unsafe recorder file name"));
    QCOMPARE(log.mid(2 + 199 * 3, 3), started("T199_12 05 2003.mpg", "Default")
                                          + failed("T199_12 05 2003.mpg", "unsafe recorder file name"));
    QCOMPARE(m_messages->messages.size(), 1);
    const QStringList message = m_messages->messages.first().split(u'\n');
    QCOMPARE(message.size(), 1 + 200 + 2);
    QCOMPARE(message[1], QStringLiteral("T0_12 05 2003.mpg (dir/0.mpg): unsafe recorder file name"));
    QCOMPARE(message.last(),
             QStringLiteral("Only the first 200 ticked titles fit in one session. Still ticked and not "
                            "downloaded: 1."));
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat"}));
}

QTEST_MAIN(TestSessionWindow)
#include "tst_session_window.moc"
