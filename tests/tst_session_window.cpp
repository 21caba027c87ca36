// Download sessions driven through the main window against the simulated
// recorder: command lines, files byte for byte, log lines, display boxes.
#include "tst_session_support.h"

#include "download/SaveName.h"

#include <QTimer>

using namespace sessiontest;

namespace {

const QString kShow = QStringLiteral("Show_12 05 2003");

} // namespace

class TestSessionWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_f = std::make_unique<SessionFixture>(); }
    void cleanup() { m_f.reset(); }

    void nothingTaggedDoesNothing();
    void oneTitle_data();
    void oneTitle();
    void rowsInRowOrder();
    void saveNames_data();
    void saveNames();
    void emptySessionAfterSession();
    void rowTickedAfterMeasuring();
    void windowDuringSession();
    void moreTitlesThanTheQueueHolds();

private:
    std::unique_ptr<SessionFixture> m_f;
};

void TestSessionWindow::nothingTaggedDoesNothing()
{
    m_f->recorder.setCatalog({{"Show", "1.mpg", 1000}});
    auto w = startWindow();
    fillTitles(*w, {{"Show", "1.mpg", 1000}});
    tick(*w, {0}); // the list was never clicked: nothing is tagged
    const QByteArray logBefore = readFile(QStringLiteral("Kelvado.LOG"));
    const QStringList filesBefore = workingDirEntries();

    pressExtract(*w);

    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), logBefore);
    QCOMPARE(workingDirEntries(), filesBefore);
    QCOMPARE(m_f->recorder.journal(), QStringList());
    QCOMPARE(w->Text3->text(), QString());
    QCOMPARE(tickedRows(*w), QList<int>{0});
    QCOMPARE(m_f->messages.messages, QStringList());
}

void TestSessionWindow::oneTitle_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("tail"); // after the file name on the command line

    QTest::addRow("Default") << "Default" << "";
    QTest::addRow("10") << "10" << " 10";
    QTest::addRow("letters") << "slow" << " 0";
    QTest::addRow("Default and more runs once, waited") << "Default 5" << "";
}

void TestSessionWindow::oneTitle()
{
    QFETCH(QString, delay);
    QFETCH(QString, tail);
    m_f->recorder.setCatalog({{"News", "1070600000.mpg", 54321, "11/30/2003"},
                              {"Movie Part 1/2 (Repeat)", "1070683200.mpg", 123457, "12/05/2003"},
                              {"Late Show", "1070700000.mpg", 7000, "12/06/2003"}});
    auto w = startWindow();
    QCOMPARE(w->DelayFactor, QStringLiteral("Default"));
    typeDelay(*w, delay);
    QCOMPARE(w->DelayFactor, delay);
    QTest::mouseClick(w->GetGuide, Qt::LeftButton);
    QCOMPARE(w->TitleCount, short(3));
    tick(*w, {1});
    clickList(*w);
    QCOMPARE(w->Text5->text(), QStringLiteral("1"));
    m_f->recorder.clearJournal();

    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    pressExtract(*w);
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1000);

    const QString saved = QStringLiteral("Movie Part 1 2_12 05 2003.mpg");
    QCOMPARE(m_f->recorder.journal(), QStringList{tolvane("1070683200.mpg") + tail});
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(saved, delay) + sessionEnd()); // the delay as typed
    const QStringList raw = logLines();
    QCOMPARE(raw.size(), 9);
    const QDateTime headerTime = QDateTime::fromString(raw[2].mid(20), QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    QVERIFY2(headerTime >= before.addMSecs(-before.time().msec()) && headerTime <= after, qPrintable(raw[2]));
    QCOMPARE(raw[3], QStringLiteral("        "));
    QCOMPARE(workingDirEntries(), (QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG", saved, "RPTVIP.dat"}));
    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 123457));

    checkSessionEnded(*w);
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(w->Text8->text(), QStringLiteral("0"));
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(w->TaggedCount, short(1)); // recounted only by the next click on the list
    QCOMPARE(w->Session.SaveAsName, saved);
    QCOMPARE(w->Session.CurrentSize, 123457.0);
    QCOMPARE(m_f->messages.messages, QStringList());
}

void TestSessionWindow::rowsInRowOrder()
{
    QList<Recording> list;
    for (int i = 0; i < 10; ++i) {
        list << Recording{QStringLiteral("Title %1").arg(i), QStringLiteral("10706832%1.mpg").arg(i, 2, 10, QChar(u'0')),
                          20000 + 1000 * i, QStringLiteral("01/%1/2004").arg(i + 10)};
    }
    auto w = prepare(m_f->recorder, list, {9, 2, 5}, QStringLiteral("3"));
    QCOMPARE(w->Text5->text(), QStringLiteral("3"));

    pressExtract(*w);

    QStringList expectedJournal;
    QStringList expectedLog = sessionHeader();
    for (int row : {2, 5, 9}) {
        expectedJournal << tolvane(list[row].fileName, "3");
        const QString saved = saveNameFor(list[row].title, list[row].date);
        expectedLog << titleLog(saved, "3");
        QCOMPARE(readFile(saved), recordingBytes(list[row].fileName, list[row].size));
    }
    QCOMPARE(m_f->recorder.journal(), expectedJournal);
    QCOMPARE(sessionLog(), expectedLog + sessionEnd());
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat", "Title 2_01 12 2004.mpg",
                                               "Title 5_01 15 2004.mpg", "Title 9_01 19 2004.mpg"}));
    QCOMPARE(tickedRows(*w), QList<int>());
    QCOMPARE(w->Text5->text(), QStringLiteral("0"));
    QCOMPARE(w->Session.TaggedIndex[1], short(2));
    QCOMPARE(w->Session.TaggedIndex[2], short(5));
    QCOMPARE(w->Session.TaggedIndex[3], short(9));
}

void TestSessionWindow::saveNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("present"); // kept untouched
    QTest::addColumn<QString>("saved");

    const QString d = QStringLiteral("12/05/2003");
    QTest::addRow("plain name taken") << "Show   " << d << QStringList{kShow + ".mpg"} << kShow + "_01.mpg";
    QTest::addRow("plain and _01 taken") << "Show   " << d << QStringList{kShow + ".mpg", kShow + "_01.mpg"}
                                         << kShow + "_02.mpg";
    QTest::addRow("only _01 taken") << "Show   " << d << QStringList{kShow + "_01.mpg"} << kShow + ".mpg";
    QTest::addRow("slashes and a quote") << "He said \"Hi\"/Bye: now; ok   " << "01/02/2004" << QStringList{}
                                         << "He said  Hi  Bye  now  ok_01 02 2004.mpg";
    QTest::addRow("title containing .mpg") << "clip.mpg" << "06/07/2008" << QStringList{"clip.mpg_06 07 2008.mpg"}
                                           << "clip_01.mpg_06 07 2008_01.mpg";
}

void TestSessionWindow::saveNames()
{
    QFETCH(QString, title);
    QFETCH(QString, date);
    QFETCH(QStringList, present);
    QFETCH(QString, saved);
    for (const QString &name : present)
        writeFile(name, "kept: " + name.toUtf8());
    auto w = prepare(m_f->recorder, {{title, "1070683200.mpg", 30000, date}}, {0});

    pressExtract(*w);

    QCOMPARE(readFile(saved), recordingBytes("1070683200.mpg", 30000));
    for (const QString &name : present)
        QCOMPARE(readFile(name), "kept: " + name.toUtf8());
    checkFiles(present + QStringList{saved, "Kelvado.LOG", "RPTVIP.dat"});
    QCOMPARE(sessionLog(), sessionHeader() + titleLog(saved, "Default") + sessionEnd());
}

void TestSessionWindow::emptySessionAfterSession()
{
    auto w = prepare(m_f->recorder, {{"Show", "1070683200.mpg", 2000}}, {0});
    pressExtract(*w);
    const QStringList firstSession = sessionLog();
    QCOMPARE(firstSession.size(), 7);
    m_f->recorder.clearJournal();
    const QStringList filesAfterFirst = workingDirEntries();
    w->Text3->setText(QStringLiteral("changed"));

    pressExtract(*w); // TaggedCount still 1, but nothing is ticked

    QCOMPARE(sessionLog(), firstSession + sessionHeader() + sessionEnd());
    QCOMPARE(m_f->recorder.journal(), QStringList());
    QCOMPARE(workingDirEntries(), filesAfterFirst);
    checkSessionEnded(*w);
    QCOMPARE(m_f->messages.messages, QStringList());
}

void TestSessionWindow::rowTickedAfterMeasuring()
{
    m_f->recorder.setRate(400000); // the unmeasured title arrives well after the pauses
    auto w = prepare(m_f->recorder, {{"First", "1070600000.mpg", 9000}, {"Second", "1070683200.mpg", 1200000}}, {0},
                     QStringLiteral("4"));
    tick(*w, {1}); // after the last measuring: its size is not known
    QCOMPARE(w->FileSizes[1], 0.0);

    pressExtract(*w);

    // Renamed only once the tool had ended: the whole recording is there.
    QCOMPARE(readFile(QStringLiteral("Second_12 05 2003.mpg")), recordingBytes("1070683200.mpg", 1200000));
    QCOMPARE(readFile(QStringLiteral("First_12 05 2003.mpg")), recordingBytes("1070600000.mpg", 9000));
    QCOMPARE(m_f->recorder.journal(), (QStringList{tolvane("1070600000.mpg", "4"), tolvane("1070683200.mpg", "4")}));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog("First_12 05 2003.mpg", "4")
                               + titleLog("Second_12 05 2003.mpg", "4") + sessionEnd());
    QCOMPARE(w->Text5->text(), QStringLiteral("-1")); // counted down from the 1 measured
    QCOMPARE(w->Text6->text(), QString());
    QCOMPARE(w->TotalSize, 0.0);
    QCOMPARE(tickedRows(*w), QList<int>());
}

void TestSessionWindow::windowDuringSession()
{
    m_f->recorder.setRate(400000);
    auto w = prepare(m_f->recorder, {{"First", "1070600000.mpg", 600000}, {"Second", "1070683200.mpg", 300000}},
                     {0, 1}, QStringLiteral("10"));
    QCOMPARE(shownNumber(w->Text6->text()), qint64(900000));

    struct Seen
    {
        bool running = false, listEnabled = true;
        ScreenPointer pointer = ScreenPointer::Default;
        QString status, recorderName, saveAs;
        QStringList messagesAfterQuit;
    } seen;
    QTimer::singleShot(300, w.get(), [&] {
        seen = {w->DownloadInProgress, w->List1->isEnabled(), screenPointer(), w->Text3->text(), w->Text4->text(),
                w->Text7->text(), {}};
        QTest::mouseClick(w->Quit, Qt::LeftButton);
        seen.messagesAfterQuit = m_f->messages.messages;
        QTest::mouseClick(w->Extract, Qt::LeftButton); // a second session does not start
        QCOMPARE(w->Text3->text(), QStringLiteral("Downloading "));
        typeDelay(*w, QStringLiteral("7"));
        w->IPAddress->clear();
        QTest::keyClicks(w->IPAddress, QStringLiteral("10.0.0.6"));
    });
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

    QVERIFY(seen.running);
    QVERIFY(!seen.listEnabled);
    QCOMPARE(seen.pointer, ScreenPointer::Hourglass);
    QCOMPARE(seen.status, QStringLiteral("Downloading "));
    QCOMPARE(seen.recorderName, QStringLiteral("1070600000.mpg"));
    QCOMPARE(seen.saveAs, QStringLiteral("First_12 05 2003.mpg"));
    QCOMPARE(seen.messagesAfterQuit, QStringList{"Cannot quit - download in progress."});
    // Changes made during the first title apply to the second.
    QCOMPARE(m_f->recorder.journal(),
             (QStringList{tolvane("1070600000.mpg", "10"), tolvane("1070683200.mpg", "7", "10.0.0.6")}));
    QCOMPARE(sessionLog(), sessionHeader() + titleLog("First_12 05 2003.mpg", "10")
                               + titleLog("Second_12 05 2003.mpg", "7") + sessionEnd());
    QCOMPARE(readFile(QStringLiteral("First_12 05 2003.mpg")), recordingBytes("1070600000.mpg", 600000));
    QCOMPARE(readFile(QStringLiteral("Second_12 05 2003.mpg")), recordingBytes("1070683200.mpg", 300000));
    QCOMPARE(m_f->messages.messages, QStringList{"Cannot quit - download in progress."});

    int midFirst = 0;
    qint64 lastLeft = 600000;
    for (const Sample &s : samples) {
        const qint64 left = shownNumber(s.left);
        const qint64 total = shownNumber(s.total);
        if (s.file == QStringLiteral("1070600000.mpg") && s.tagged == QStringLiteral("2")) {
            QCOMPARE(total - left, qint64(300000)); // this file's bytes left + the second title
            QVERIFY(left >= 0 && left <= lastLeft);
            lastLeft = left;
            midFirst += left > 0 && left < 600000;
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
    // The first 200 have names the session refuses, so they fail at once; the
    // last does not fit the queue and is never started.
    QList<Recording> list;
    QList<int> all;
    for (int i = 0; i < 200; ++i)
        list << Recording{QStringLiteral("T%1").arg(i), QStringLiteral("dir/%1.mpg").arg(i), 0};
    list << Recording{QStringLiteral("Last"), QStringLiteral("1070683200.mpg"), 0};
    for (int i = 0; i < 201; ++i)
        all << i;
    m_f->recorder.setCatalog({{"Last", "1070683200.mpg", 100}});
    auto w = startWindow();
    fillTitles(*w, list);
    tick(*w, all);
    w->TaggedCount = 201; // as a click on the list would count them
    m_f->recorder.clearJournal();

    pressExtract(*w);

    QCOMPARE(m_f->recorder.journal(), QStringList());
    QCOMPARE(tickedRows(*w), all);
    QCOMPARE(w->Session.TaggedIndex[200], short(199));
    QCOMPARE(w->Session.TaggedFileName[200], QStringLiteral("dir/199.mpg"));
    const QStringList log = sessionLog();
    QCOMPARE(log.size(), 2 + 200 * 3 + 2);
    QCOMPARE(log.mid(2, 3), titleLog("T0_12 05 2003.mpg", "Default", "unsafe recorder file name"));
    QCOMPARE(log.mid(2 + 199 * 3, 3), titleLog("T199_12 05 2003.mpg", "Default", "unsafe recorder file name"));
    QCOMPARE(m_f->messages.messages.size(), 1);
    const QStringList message = m_f->messages.messages.first().split(u'\n');
    QCOMPARE(message.size(), 1 + 200 + 2);
    QCOMPARE(message[1], QStringLiteral("T0_12 05 2003.mpg (dir/0.mpg): unsafe recorder file name"));
    QCOMPARE(message.last(), QStringLiteral("Only the first 200 ticked titles fit in one session. Still ticked and "
                                            "not downloaded: 1."));
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat"}));
}

QTEST_MAIN(TestSessionWindow)
#include "tst_session_window.moc"
