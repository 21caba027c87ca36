// Get Guide driven through the main window, with the simulated recorder's
// tools on the search path.
#include "fixtures/guide/GuideWindowFixture.h"

#include "common/DateTimeText.h"
#include "guide/GuideMessages.h"
#include "mainwindow/ScreenPointer.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace {

QString blanks(int n)
{
    return QString(n, u' ');
}

QList<CatalogRecording> threeRecordings()
{
    return {
        {QStringLiteral("Nova (Repeat)"), QStringLiteral("High"), QStringLiteral("03/14/2002"),
         QStringLiteral("21:00:00"), QStringLiteral("1016168400.mpg"), 60, 5767201},
        {QStringLiteral("Star Trek: The \"Next\" Generation; Again"), QStringLiteral("Medium"),
         QStringLiteral("07/22/2004"), QStringLiteral("19:30:00"), QStringLiteral("1090553400.mpg"), 45, 4194319},
        {QStringLiteral("Café (Repeat)"), QStringLiteral("Standard"), QStringLiteral("12/05/2003"),
         QStringLiteral("20:00:00"), QStringLiteral("1070683200.mpg"), 120, 3145731},
    };
}

const QString kNovaTitle = QStringLiteral("Nova ") + blanks(53);
const QString kTrekTitle = QStringLiteral("Star Trek  The  - Next -  Generation  Again") + blanks(15);
const QString kCafeTitle = QStringLiteral("Café ") + blanks(53);

// A guide of hand-made records: "Show #", title, the four fields.
QByteArray guideRecords(int from, int count)
{
    QByteArray text;
    for (int n = from; n < from + count; ++n) {
        text += "Show #" + QByteArray::number(n) + "\r\nTitle:Title " + QByteArray::number(n)
                + "\r\nQuality: High\r\nRecorded: 01/02/2003 04:05:06\r\nFilename: " + QByteArray::number(n)
                + ".mpg\r\nDuration: 030 min\r\n\r\n";
    }
    return text;
}

QString rowOf(int n)
{
    return QStringLiteral("Title %1").arg(n).leftJustified(58) + QStringLiteral("High") + blanks(10)
           + QStringLiteral("030") + blanks(9) + QStringLiteral("01/02/2003");
}

} // namespace

class TestGuideWindow : public QObject
{
    Q_OBJECT

private slots:
    void getGuideEndToEnd();
    void stateWhileToolsRun();
    void settingsPassedAsTyped_data();
    void settingsPassedAsTyped();
    void refusals_data();
    void refusals();
    void secondPressDoesNothing_data();
    void secondPressDoesNothing();
    void missingGuide_data();
    void missingGuide();
    void guideFileInAnyCase();
    void guideNotUtf8();
    void recordsNotListed_data();
    void recordsNotListed();
};

void TestGuideWindow::getGuideEndToEnd()
{
    GuideWindowFixture f;
    f.useCatalog(threeRecordings());
    Form1 &w = f.startWindow();
    const QString dayBefore = dateText();

    f.pressGetGuide();

    QCOMPARE(f.journal(), (QStringList{"Tolvane 192.168.0.9 -g", "Tamrick guide"}));
    QCOMPARE(f.rows(), (QStringList{
                           kNovaTitle + QStringLiteral("High") + blanks(10) + QStringLiteral("060") + blanks(9)
                               + QStringLiteral("03/14/2002"),
                           kTrekTitle + QStringLiteral("Medium") + blanks(8) + QStringLiteral("045") + blanks(9)
                               + QStringLiteral("07/22/2004"),
                           kCafeTitle + QStringLiteral("Standard") + blanks(6) + QStringLiteral("120") + blanks(9)
                               + QStringLiteral("12/05/2003"),
                       }));
    for (int row = 0; row < 3; ++row) {
        QVERIFY(w.List1->item(row)->flags().testFlag(Qt::ItemIsUserCheckable));
        QCOMPARE(w.List1->item(row)->checkState(), Qt::Unchecked);
    }

    QCOMPARE(w.TitleCount, short(3));
    QCOMPARE(w.Titles[0], kNovaTitle);
    QCOMPARE(w.Titles[1], kTrekTitle);
    QCOMPARE(w.Titles[2], kCafeTitle);
    QCOMPARE(w.FileNames[0], QStringLiteral("1016168400.mpg"));
    QCOMPARE(w.FileNames[2], QStringLiteral("1070683200.mpg"));
    QCOMPARE(w.RecordDates[1], QStringLiteral("07/22/2004"));
    QCOMPARE(w.Titles[3], QString());
    QCOMPARE(w.FileNames[3], QString());

    QVERIFY2(w.Text1->text() == dayBefore || w.Text1->text() == dateText(), qPrintable(w.Text1->text()));
    QCOMPARE(w.Text2->text(), QStringLiteral(" 3"));
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    QCOMPARE(w.Text3->text(), QStringLiteral(" "));
    QVERIFY(w.GuideLoaded);
    QCOMPARE(screenPointer(), ScreenPointer::Arrow);
    QCOMPARE(f.messages.messages, QStringList());
    QCOMPARE(GuideWindowFixture::toolLeftovers(), (QStringList{"Guide.dat", "Guide.txt"}));
}

void TestGuideWindow::stateWhileToolsRun()
{
    // A transfer tool that takes a moment, so the window can be looked at
    // while the command waits for it.
    GuideWindowFixture f;
    const QString slowTolvane = f.toolDirFile(QStringLiteral("Tolvane"));
    writeFile(slowTolvane, "#!/bin/sh\n/bin/sleep 0.5\nexec \"" + recorderBinDir().toLocal8Bit() + "/Tolvane\" \"$@\"\n");
    QFile::setPermissions(slowTolvane, QFile::permissions(slowTolvane) | QFileDevice::ExeOwner);
    qputenv("PATH", QFileInfo(slowTolvane).absolutePath().toLocal8Bit() + ':' + qgetenv("PATH"));
    f.useCatalog(threeRecordings());
    Form1 &w = f.startWindow();

    QString status, date;
    ScreenPointer pointer = ScreenPointer::Default;
    bool loaded = true;
    int rows = -1;
    QTimer::singleShot(100, &w, [&] {
        status = w.Text3->text();
        date = w.Text1->text();
        pointer = screenPointer();
        loaded = w.GuideLoaded;
        rows = w.List1->count();
    });
    f.pressGetGuide();

    QCOMPARE(status, QStringLiteral("Getting Guide"));
    QCOMPARE(date, w.Text1->text());
    QCOMPARE(pointer, ScreenPointer::Hourglass);
    QCOMPARE(loaded, false);
    QCOMPARE(rows, 0);
    QCOMPARE(w.List1->count(), 3);
    QCOMPARE(w.Text3->text(), QStringLiteral(" "));
    QCOMPARE(screenPointer(), ScreenPointer::Arrow);
}

void TestGuideWindow::settingsPassedAsTyped_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("transferCommand");

    // The blank reaches the command line; splitting it into arguments drops it.
    QTest::addRow("single blank address") << QStringLiteral(" ") << QStringLiteral("5") << QStringLiteral("Tolvane -g");
    QTest::addRow("delay out of range") << QStringLiteral("10.0.0.7") << QStringLiteral("99")
                                        << QStringLiteral("Tolvane 10.0.0.7 -g");
    QTest::addRow("delay not a number") << QStringLiteral("replay.local") << QStringLiteral("fast")
                                        << QStringLiteral("Tolvane replay.local -g");
}

void TestGuideWindow::settingsPassedAsTyped()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(QString, transferCommand);

    GuideWindowFixture f;
    f.useGuideBytes(guideRecords(1, 1));
    Form1 &w = f.startWindow(address, delay);
    f.pressGetGuide();

    QCOMPARE(f.journal(), (QStringList{transferCommand, "Tamrick guide"}));
    QCOMPARE(f.rows(), QStringList{rowOf(1)});
    QCOMPARE(f.messages.messages, QStringList());
    QVERIFY(w.GuideLoaded);
}

void TestGuideWindow::refusals_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::addRow("no address") << QString() << QStringLiteral("5") << QStringLiteral("Need IP Address")
                                << QStringLiteral("IPAddress");
    QTest::addRow("no address, no delay") << QString() << QString() << QStringLiteral("Need IP Address")
                                          << QStringLiteral("IPAddress");
    QTest::addRow("no delay") << QStringLiteral("192.168.0.9") << QString()
                              << QStringLiteral("Need delay factor 0 - 48 or check Tolvane Default")
                              << QStringLiteral("Text9");
}

void TestGuideWindow::refusals()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    GuideWindowFixture f;
    f.useCatalog(threeRecordings());
    Form1 &w = f.startWindow(address, delay);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.GetGuide->setFocus();

    f.pressGetGuide();

    QCOMPARE(f.messages.messages, QStringList{message});
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(f.journal(), QStringList());
    QVERIFY(!w.GuideLoaded);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Text1->text(), QString());
    QCOMPARE(w.Text2->text(), QString());
    QCOMPARE(w.Text3->text(), QString());
    QCOMPARE(screenPointer(), ScreenPointer::Default);

    // Filling in the box lets the next press fetch the guide.
    f.messages.messages.clear();
    if (w.IPAddress->text().isEmpty())
        QTest::keyClicks(w.IPAddress, QStringLiteral("192.168.0.9"));
    if (w.Text9->text().isEmpty())
        QTest::keyClicks(w.Text9, QStringLiteral("5"));
    f.pressGetGuide();
    QCOMPARE(f.messages.messages, QStringList());
    QCOMPARE(w.List1->count(), 3);
    QVERIFY(w.GuideLoaded);
}

void TestGuideWindow::secondPressDoesNothing_data()
{
    QTest::addColumn<QByteArray>("firstGuide");
    QTest::addColumn<int>("titles");

    QTest::addRow("first guide had titles") << guideRecords(1, 2) << 2;
    QTest::addRow("first guide had none") << QByteArray("ReplayTV Guide Dump\r\nTotal shows: 0\r\n") << 0;
}

void TestGuideWindow::secondPressDoesNothing()
{
    QFETCH(QByteArray, firstGuide);
    QFETCH(int, titles);

    GuideWindowFixture f;
    f.useGuideBytes(firstGuide);
    Form1 &w = f.startWindow();
    f.pressGetGuide();
    QCOMPARE(w.TitleCount, short(titles));
    QCOMPARE(w.List1->count(), titles);
    QCOMPARE(w.Text2->text(), QStringLiteral(" %1").arg(titles));
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    const QStringList rowsBefore = f.rows();

    // A different guide, the status box written over: none of it is touched.
    f.useGuideBytes(guideRecords(10, 5));
    f.clearJournal();
    w.Text1->setText(QStringLiteral("marker"));
    w.Text3->setText(QStringLiteral("marker"));
    f.pressGetGuide();

    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(f.messages.messages, QStringList());
    QCOMPARE(f.rows(), rowsBefore);
    QCOMPARE(w.TitleCount, short(titles));
    QCOMPARE(w.Text1->text(), QStringLiteral("marker"));
    QCOMPARE(w.Text3->text(), QStringLiteral("marker"));
}

void TestGuideWindow::missingGuide_data()
{
    QTest::addColumn<bool>("toolsFound");
    QTest::addColumn<QStringList>("runnerMessages");

    QTest::addRow("helper leaves no guide") << true << QStringList{};
    QTest::addRow("tools not found") << false
                                     << QStringList{"Cannot run \"Tolvane\"", "Cannot run \"Tamrick\""};
}

void TestGuideWindow::missingGuide()
{
    QFETCH(bool, toolsFound);
    QFETCH(QStringList, runnerMessages);

    GuideWindowFixture f;
    f.useCatalog(threeRecordings());
    qputenv("SIMREC_GUIDE_FILE", f.toolDirFile(QStringLiteral("no-such-guide.txt")).toLocal8Bit());
    if (!toolsFound)
        f.hideTools();
    Form1 &w = f.startWindow();
    f.pressGetGuide();

    // The tools' own failures first, then one message saying no guide came.
    QCOMPARE(f.messages.messages.size(), runnerMessages.size() + 1);
    for (int i = 0; i < runnerMessages.size(); ++i)
        QVERIFY2(f.messages.messages.at(i).startsWith(runnerMessages.at(i)), qPrintable(f.messages.messages.at(i)));
    QCOMPARE(f.messages.messages.last(), GuideMessages::guideMissing());
    QVERIFY(!w.GuideLoaded);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.TitleCount, short(0));
    QCOMPARE(w.Text1->text(), QString());
    QCOMPARE(w.Text2->text(), QString());
    QCOMPARE(w.Text3->text(), QStringLiteral(" "));
    QCOMPARE(screenPointer(), ScreenPointer::Arrow);

    // The user can try again once the recorder answers.
    qputenv("PATH", recorderBinDir().toLocal8Bit());
    qunsetenv("SIMREC_GUIDE_FILE");
    f.messages.messages.clear();
    f.clearJournal();
    f.pressGetGuide();
    QCOMPARE(f.journal(), (QStringList{"Tolvane 192.168.0.9 -g", "Tamrick guide"}));
    QCOMPARE(w.List1->count(), 3);
    QCOMPARE(w.Text2->text(), QStringLiteral(" 3"));
    QVERIFY(w.GuideLoaded);
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideWindow::guideFileInAnyCase()
{
    GuideWindowFixture f;
    qputenv("SIMREC_GUIDE_FILE", f.toolDirFile(QStringLiteral("no-such-guide.txt")).toLocal8Bit());
    Form1 &w = f.startWindow();
    writeFile(QStringLiteral("GUIDE.TXT"), guideRecords(7, 1));
    f.pressGetGuide();
    QCOMPARE(f.rows(), QStringList{rowOf(7)});
    QCOMPARE(w.FileNames[0], QStringLiteral("7.mpg"));
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideWindow::guideNotUtf8()
{
    // Windows-1252 bytes: é, curly quotes, and a straight quote.
    GuideWindowFixture f;
    f.useGuideBytes("Show #1\r\nTitle:Caf\xe9 \x93Noir\x94 \"Live\"\r\nQuality: Medium\r\n"
                    "Recorded: 02/28/2005\r\nFilename: 1109644200.mpg\r\nDuration: 030\r\n");
    Form1 &w = f.startWindow();
    f.pressGetGuide();
    const QString title = QStringLiteral("Café \u201CNoir\u201D  - Live - ").leftJustified(58);
    QCOMPARE(w.Titles[0], title);
    QCOMPARE(f.rows(), QStringList{title + QStringLiteral("Medium") + blanks(8) + QStringLiteral("030") + blanks(9)
                                   + QStringLiteral("02/28/2005")});
}

void TestGuideWindow::recordsNotListed_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("cutOff");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("message");

    QTest::addRow("201 records") << 201 << false << 201 << QString();
    QTest::addRow("203 records") << 203 << false << 201 << GuideMessages::guideShortfall(0, 2, 201);
    QTest::addRow("last record cut off") << 3 << true << 3 << GuideMessages::guideShortfall(1, 0, 201);
    QTest::addRow("both") << 202 << true << 201 << GuideMessages::guideShortfall(1, 1, 201);
}

void TestGuideWindow::recordsNotListed()
{
    QFETCH(int, records);
    QFETCH(bool, cutOff);
    QFETCH(int, listed);
    QFETCH(QString, message);

    GuideWindowFixture f;
    QByteArray guide = "ReplayTV Guide Dump\r\n\r\n" + guideRecords(0, records);
    if (cutOff)
        guide += "Show #999\r\nTitle:Cut\r\nQuality: High\r\nRecorded: 01/01/2001\r\n";
    f.useGuideBytes(guide);
    Form1 &w = f.startWindow();
    f.pressGetGuide();

    QCOMPARE(w.TitleCount, short(listed));
    QCOMPARE(w.List1->count(), listed);
    QCOMPARE(w.Text2->text(), QStringLiteral(" %1").arg(listed));
    // Row i is title i, up to the last one.
    QCOMPARE(w.List1->item(listed - 1)->text(), rowOf(listed - 1));
    QCOMPARE(w.FileNames[listed - 1], QStringLiteral("%1.mpg").arg(listed - 1));
    if (listed < Form1::kTableSize)
        QCOMPARE(w.FileNames[listed], QString());
    QCOMPARE(f.messages.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(w.GuideLoaded);
    QCOMPARE(screenPointer(), ScreenPointer::Arrow);
}

QTEST_MAIN(TestGuideWindow)
#include "tst_guide_window.moc"
