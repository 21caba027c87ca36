// Get Guide driven through the main window, with the simulated recorder's
// tools on the search path.
#include "fixtures/guide/GuideWindowFixture.h"

#include "common/DateTimeText.h"
#include "guide/GuideMessages.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <csignal>

namespace {

QString blanks(int n)
{
    return QString(n, u' ');
}

QList<CatalogRecording> threeRecordings()
{
    return {
        {"Nova (Repeat)", "High", "03/14/2002", "21:00:00", "1016168400.mpg", 60, 5767201},
        {"Star Trek: The \"Next\" Generation; Again", "Medium", "07/22/2004", "19:30:00", "1090553400.mpg", 45,
         4194319},
        {QStringLiteral("Café (Repeat)"), "Standard", "12/05/2003", "20:00:00", "1070683200.mpg", 120, 3145731},
    };
}

// Hand-made records: "Show #", title, the four fields.
QByteArray guideRecords(int from, int count)
{
    QByteArray text;
    for (int n = from; n < from + count; ++n)
        text += "Show #" + QByteArray::number(n) + "\r\nTitle:Title " + QByteArray::number(n)
                + "\r\nQuality: High\r\nRecorded: 01/02/2003 04:05:06\r\nFilename: " + QByteArray::number(n)
                + ".mpg\r\nDuration: 030 min\r\n\r\n";
    return text;
}

QString rowOf(int n)
{
    return QStringLiteral("Title %1").arg(n).leftJustified(58) + "High" + blanks(10) + "030" + blanks(9) + "01/02/2003";
}

// The status boxes, the loaded flag, the list and title table sizes, and the pointer.
QString state(const QString &date, const QString &titles, const QString &status, bool loaded, int rows, int table,
              ScreenPointer pointer)
{
    return QStringLiteral("date \"%1\" titles \"%2\" status \"%3\" loaded %4 rows %5/%6 pointer %7")
        .arg(date, titles, status)
        .arg(loaded)
        .arg(rows)
        .arg(table)
        .arg(int(pointer));
}

QString state(const Form1 &w)
{
    return state(w.Text1->text(), w.Text2->text(), w.Text3->text(), w.GuideLoaded, w.List1->count(), w.TitleCount,
                 screenPointer());
}

} // namespace

class TestGuideWindow : public QObject
{
    Q_OBJECT

private slots:
    void getGuideEndToEnd();
    void guideListed_data();
    void guideListed();
    void nothingListed_data();
    void nothingListed();
    void closedWhileToolWaits_data();
    void closedWhileToolWaits();
};

void TestGuideWindow::getGuideEndToEnd()
{
    // A transfer tool that takes a moment, so the window can be looked at while the command waits.
    GuideWindowFixture f;
    const QString slowTolvane = f.toolDirFile("Tolvane", "#!/bin/sh\n/bin/sleep 0.5\nexec \""
                                                              + recorderBinDir().toLocal8Bit() + "/Tolvane\" \"$@\"\n");
    QFile::setPermissions(slowTolvane, QFile::permissions(slowTolvane) | QFileDevice::ExeOwner);
    qputenv("PATH", QFileInfo(slowTolvane).absolutePath().toLocal8Bit() + ':' + qgetenv("PATH"));
    f.useCatalog(threeRecordings());
    Form1 &w = f.startWindow();
    const QString dayBefore = dateText();
    QString whileRunning;
    QTimer::singleShot(100, &w, [&] { whileRunning = state(w); });
    f.pressGetGuide();

    const QString date = w.Text1->text();
    QVERIFY2(date == dayBefore || date == dateText(), qPrintable(date));
    QCOMPARE(whileRunning, state(date, "", "Getting Guide", false, 0, 0, ScreenPointer::Hourglass));
    QCOMPARE(state(w), state(date, " 3", " ", true, 3, 3, ScreenPointer::Arrow));

    QCOMPARE(f.journal(), (QStringList{"Tolvane 192.168.0.9 -g", "Tamrick guide"}));
    const QStringList titles{"Nova ", "Star Trek  The  - Next -  Generation  Again", QStringLiteral("Café ")};
    QCOMPARE(f.rows(), (QStringList{
                           titles[0].leftJustified(58) + "High" + blanks(10) + "060" + blanks(9) + "03/14/2002",
                           titles[1].leftJustified(58) + "Medium" + blanks(8) + "045" + blanks(9) + "07/22/2004",
                           titles[2].leftJustified(58) + "Standard" + blanks(6) + "120" + blanks(9) + "12/05/2003"}));
    const QStringList files{"1016168400.mpg", "1090553400.mpg", "1070683200.mpg"};
    const QStringList dates{"03/14/2002", "07/22/2004", "12/05/2003"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w.Titles[i], titles.value(i).leftJustified(i < 3 ? 58 : 0));
        QCOMPARE(w.FileNames[i], files.value(i));
        QCOMPARE(w.RecordDates[i], dates.value(i));
    }
    for (int row = 0; row < 3; ++row) {
        QVERIFY(w.List1->item(row)->flags().testFlag(Qt::ItemIsUserCheckable));
        QCOMPARE(w.List1->item(row)->checkState(), Qt::Unchecked);
    }
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    QCOMPARE(f.messages.messages, QStringList());
    QCOMPARE(workingDirEntries(), (QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat"}));

    // Once per run: a second press leaves the list and the status boxes alone.
    const QStringList rowsBefore = f.rows();
    f.useGuideBytes(guideRecords(10, 5));
    f.clearJournal();
    w.Text1->setText(QStringLiteral("marker"));
    w.Text3->setText(QStringLiteral("marker"));
    f.pressGetGuide();
    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(f.rows(), rowsBefore);
    QCOMPARE(state(w), state("marker", " 3", "marker", true, 3, 3, ScreenPointer::Arrow));
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideWindow::guideListed_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QByteArray>("guide");
    QTest::addColumn<bool>("leftByHand"); // found as GUIDE.TXT, the helper leaving none
    QTest::addColumn<QString>("transfer");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("lastRow");
    QTest::addColumn<QString>("message");

    const QString ip = QStringLiteral("Tolvane 192.168.0.9 -g");
    const QByteArray one = guideRecords(0, 1);
    // The address is one argument as typed, even a blank one.
    QTest::addRow("single blank address") << " " << "5" << one << false << "Tolvane   -g" << 1 << rowOf(0) << "";
    QTest::addRow("delay out of range") << "10.0.0.7" << "99" << one << false << "Tolvane 10.0.0.7 -g" << 1 << rowOf(0)
                                        << "";
    QTest::addRow("delay not a number") << "replay.local" << "fast" << one << false << "Tolvane replay.local -g" << 1
                                        << rowOf(0) << "";
    QTest::addRow("guide file in other letter case") << "192.168.0.9" << "5" << one << true << ip << 1 << rowOf(0)
                                                     << "";
    // Windows-1252 bytes: é, curly quotes, and a straight quote.
    QTest::addRow("guide not UTF-8") << "192.168.0.9" << "5"
                                     << QByteArray("Show #1\r\nTitle:Caf\xe9 \x93Noir\x94 \"Live\"\r\n"
                                                   "Quality: Medium\r\nRecorded: 02/28/2005\r\nFilename: 0.mpg\r\n"
                                                   "Duration: 030\r\n")
                                     << true << ip << 1
                                     << QStringLiteral("Café \u201CNoir\u201D  - Live - ").leftJustified(58) + "Medium"
                                            + blanks(8) + "030" + blanks(9) + "02/28/2005"
                                     << "";
    // One line in another code page leaves the UTF-8 lines as they are.
    QTest::addRow("one line not UTF-8") << "192.168.0.9" << "5"
                                        << QByteArray("Show #1\r\nTitle:Caf\xc3\xa9 Ol\xc3\xa9\r\nCategory: Caf\xe9\r\n"
                                                      "Quality: Medium\r\nRecorded: 02/28/2005\r\nFilename: 0.mpg\r\n"
                                                      "Duration: 030\r\n")
                                        << false << ip << 1
                                        << QStringLiteral("Café Olé").leftJustified(58) + "Medium" + blanks(8) + "030"
                                               + blanks(9) + "02/28/2005"
                                        << "";
    const QByteArray cut = "Show #999\r\nTitle:Cut\r\nQuality: High\r\nRecorded: 01/01/2001\r\n";
    QTest::addRow("last record cut off") << "192.168.0.9" << "5" << guideRecords(0, 3) + cut << false << ip << 3
                                         << rowOf(2) << GuideMessages::guideShortfall(1, 0, 201);
    QTest::addRow("one too many, last cut off") << "192.168.0.9" << "5" << guideRecords(0, 202) + cut << false << ip
                                                << 201 << rowOf(200) << GuideMessages::guideShortfall(1, 1, 201);
}

void TestGuideWindow::guideListed()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(QByteArray, guide);
    QFETCH(bool, leftByHand);
    QFETCH(QString, transfer);
    QFETCH(int, listed);
    QFETCH(QString, lastRow);
    QFETCH(QString, message);
    GuideWindowFixture f;
    f.useGuideBytes(leftByHand ? QByteArray() : "ReplayTV Guide Dump\r\n\r\n" + guide);
    Form1 &w = f.startWindow(address, delay);
    if (leftByHand)
        writeFile(QStringLiteral("GUIDE.TXT"), guide);
    f.pressGetGuide();

    QCOMPARE(f.journal(), (QStringList{transfer, "Tamrick guide"}));
    QCOMPARE(state(w), state(w.Text1->text(), QStringLiteral(" %1").arg(listed), " ", true, listed, listed,
                             ScreenPointer::Arrow));
    QCOMPARE(w.List1->item(listed - 1)->text(), lastRow);
    QCOMPARE(w.Titles[listed - 1], lastRow.left(58));
    QCOMPARE(w.FileNames[listed - 1], QStringLiteral("%1.mpg").arg(listed - 1));
    if (listed < Form1::kTableSize)
        QCOMPARE(w.FileNames[listed], QString());
    QCOMPARE(f.messages.messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestGuideWindow::nothingListed_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("toolsFound");
    QTest::addColumn<bool>("guideLeft");
    QTest::addColumn<QStringList>("told"); // the last exactly, those before it by their start
    QTest::addColumn<QString>("focus");    // set for a refusal, which runs no tool
    QTest::addColumn<QString>("stuck");    // the tool that writes part of its file and never ends

    const QString missing = GuideMessages::guideMissing();
    QTest::addRow("no address") << "" << "5" << true << true << QStringList{"Need IP Address"} << "IPAddress" << "";
    QTest::addRow("no address, no delay") << "" << "" << true << true << QStringList{"Need IP Address"} << "IPAddress"
                                          << "";
    QTest::addRow("no delay") << "192.168.0.9" << "" << true << true
                              << QStringList{"Need delay factor 0 - 48 or check Tolvane Default"} << "Text9" << "";
    QTest::addRow("helper leaves no guide") << "192.168.0.9" << "5" << true << false << QStringList{missing} << ""
                                            << "";
    QTest::addRow("tools not found") << "192.168.0.9" << "5" << false << false
                                     << QStringList{"Cannot run \"Tolvane\"", "Cannot run \"Tamrick\"", missing} << ""
                                     << "";
    // What a stuck tool wrote is not taken for the guide, nor left to be taken later.
    QTest::addRow("transfer tool stuck") << "192.168.0.9" << "5" << true << true
                                         << QStringList{"Tolvane 192.168.0.9 -g was stopped: for 1 second", missing}
                                         << "" << "Tolvane";
    QTest::addRow("helper stuck") << "192.168.0.9" << "5" << true << true
                                  << QStringList{"Tamrick guide was stopped: for 1 second", missing} << ""
                                  << "Tamrick";
}

void TestGuideWindow::nothingListed()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(bool, toolsFound);
    QFETCH(bool, guideLeft);
    QFETCH(QStringList, told);
    QFETCH(QString, focus);
    QFETCH(QString, stuck);
    const bool refused = !focus.isEmpty();
    GuideWindowFixture f;
    f.useCatalog(threeRecordings());
    if (!guideLeft)
        f.useGuideBytes(QByteArray());
    if (!toolsFound)
        f.hideTools();
    if (stuck == QStringLiteral("Tolvane"))
        f.useStuckTool(stuck, QStringLiteral("-g"), QStringLiteral("Guide.dat"), "SIMREC-GUIDE-DAT 1\r\n");
    if (stuck == QStringLiteral("Tamrick"))
        f.useStuckTool(stuck, QStringLiteral("guide"), QStringLiteral("Guide.txt"), "ReplayTV Guide Dump\r\n\r\n");
    Form1 &w = f.startWindow(address, delay);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.GetGuide->setFocus();
    StallLimits limits;
    limits.runningMs = 1000;
    w.GetGuide_Click(limits);

    QCOMPARE(f.messages.messages.size(), told.size());
    for (int i = 0; i < told.size() - 1; ++i)
        QVERIFY2(f.messages.messages.at(i).startsWith(told.at(i)), qPrintable(f.messages.messages.at(i)));
    QCOMPARE(f.messages.messages.last(), told.last());
    if (refused)
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    const QStringList ran{"Tolvane 192.168.0.9 -g", "Tamrick guide"};
    QCOMPARE(f.journal(), refused || !toolsFound ? QStringList() : ran);
    QCOMPARE(state(w), state("", "", refused ? "" : " ", false, 0, 0,
                             refused ? ScreenPointer::Default : ScreenPointer::Arrow));
    QCOMPARE(workingDirEntries().filter(QStringLiteral("Guide.txt"), Qt::CaseInsensitive), QStringList());
    if (stuck == QStringLiteral("Tolvane"))
        QCOMPARE(workingDirEntries().filter(QStringLiteral("Guide.dat"), Qt::CaseInsensitive), QStringList());

    // Once the boxes are filled in and the recorder answers, the next press lists the guide.
    qputenv("PATH", recorderBinDir().toLocal8Bit());
    qunsetenv("SIMREC_GUIDE_FILE");
    f.messages.messages.clear();
    f.clearJournal();
    if (w.IPAddress->text().isEmpty())
        QTest::keyClicks(w.IPAddress, QStringLiteral("192.168.0.9"));
    if (w.Text9->text().isEmpty())
        QTest::keyClicks(w.Text9, QStringLiteral("5"));
    f.pressGetGuide();
    QCOMPARE(f.journal(), ran);
    QCOMPARE(state(w), state(w.Text1->text(), " 3", " ", true, 3, 3, ScreenPointer::Arrow));
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideWindow::closedWhileToolWaits_data()
{
    QTest::addColumn<QString>("stuck");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("ran");

    QTest::addRow("Get Guide, transfer tool") << "Tolvane" << "-g" << "Guide.dat"
                                              << QStringList{"Tolvane 192.168.0.9 -g"};
    QTest::addRow("Get Guide, helper") << "Tamrick" << "guide" << "Guide.txt"
                                       << QStringList{"Tolvane 192.168.0.9 -g", "Tamrick guide"};
    // Two titles ticked: the second is never measured.
    QTest::addRow("measuring") << "Tamrick" << "1016168400.mpg" << "FStat.txt"
                               << QStringList{"Tamrick 1016168400.mpg"};
}

void TestGuideWindow::closedWhileToolWaits()
{
    QFETCH(QString, stuck);
    QFETCH(QString, argument);
    QFETCH(QString, file);
    QFETCH(QStringList, ran);
    const bool measuring = file == QStringLiteral("FStat.txt");
    GuideWindowFixture f;
    f.useCatalog(threeRecordings());
    Form1 &w = f.startWindow();
    if (measuring) {
        f.pressGetGuide();
        f.setTicked(0, true);
        f.setTicked(2, true);
        f.clearJournal();
    }
    const QString pidFile = f.useStuckTool(stuck, argument, file, "part");
    w.LogView->click();
    w.mnuAbout->trigger();
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "Form2", "frmAbout"}));

    // The frame's close button, pressed once the tool is stuck: the tool is
    // ended before the close returns, not when it would have ended by itself.
    bool closed = false;
    bool toolEnded = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &w, [&] {
        const qint64 pid = readFile(pidFile).trimmed().toLongLong();
        if (pid <= 0 || closed)
            return;
        QTest::mouseClick(w.GetPath, Qt::LeftButton); // not acted on; only the close comes through
        closed = w.close();
        toolEnded = ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
    });
    closer.start(20);
    if (measuring)
        f.clickRow(1);
    else
        f.pressGetGuide();

    QVERIFY(closed);
    QVERIFY(toolEnded);
    QCOMPARE(visibleWindows(), QStringList());
    // Nothing more is run or told: the program ends as after a close when idle.
    QCOMPARE(f.journal(), ran);
    QCOMPARE(f.messages.messages, QStringList());
    QCOMPARE(readFile(file), QByteArray("part"));
    QCOMPARE(w.GuideLoaded, measuring);
}

QTEST_MAIN(TestGuideWindow)
#include "tst_guide_window.moc"
