// Tagging titles: ticking rows and clicking the list measures every ticked
// title through the simulated helper.
#include "fixtures/guide/GuideWindowFixture.h"

#include "guide/GuideMessages.h"

#include <QLocale>

namespace {

QString tamrick(int n)
{
    return QStringLiteral("Tamrick 100000000%1.mpg").arg(n);
}

// A byte total as the window shows it, with the user's thousands separator.
QString grouped(const char *commaGrouped)
{
    return QString::fromLatin1(commaGrouped).replace(u',', QLocale::system().groupSeparator());
}

// The tagged count and byte total, held and shown.
QString totals(const Form1 &w)
{
    return QStringLiteral("%1 tagged, %2 bytes, shown \"%3\" \"%4\"")
        .arg(w.TaggedCount)
        .arg(qint64(w.TotalSize))
        .arg(w.Text5->text(), w.Text6->text());
}

QString totals(int tagged, qint64 bytes, const char *shownBytes)
{
    return QStringLiteral("%1 tagged, %2 bytes, shown \"%1\" \"%3\"").arg(tagged).arg(bytes).arg(grouped(shownBytes));
}

bool anyFileStatLeft()
{
    return workingDirEntries().contains(QStringLiteral("FStat.txt"), Qt::CaseInsensitive);
}

// The four-title guide loaded, the journal emptied.
Form1 &windowWithGuide(GuideWindowFixture &f)
{
    f.useCatalog({{"Alpha", "Standard", "01/01/2001", "20:00:00", "1000000001.mpg", 30, 1234567},
                  {"Bravo (Repeat)", "Medium", "02/02/2002", "21:00:00", "1000000002.mpg", 60, 2000000},
                  {"Charlie", "High", "03/03/2003", "22:00:00", "1000000003.mpg", 120, 3000000000LL},
                  {"Delta", "High", "04/04/2004", "23:00:00", "1000000004.mpg", 5, 5}});
    Form1 &w = f.startWindow();
    f.pressGetGuide();
    f.clearJournal();
    return w;
}

void tick(GuideWindowFixture &f, std::initializer_list<int> rows, bool ticked = true)
{
    for (int row : rows)
        f.setTicked(row, ticked);
}

} // namespace

class TestGuideTagging : public QObject
{
    Q_OBJECT

private slots:
    void measuringFollowsClicks();
    void faultyFileStat_data();
    void faultyFileStat();
};

void TestGuideTagging::measuringFollowsClicks()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    QCOMPARE(w.TitleCount, short(4));
    tick(f, {0, 2, 3});
    f.clickRow(1);
    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(3), tamrick(4)}));
    QCOMPARE(w.List1->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(totals(w), totals(3, 3001234572, "3,001,234,572"));
    QCOMPARE(QList<double>(w.FileSizes.begin(), w.FileSizes.begin() + 4), (QList<double>{1234567, 0, 3000000000, 5}));
    QVERIFY(!anyFileStatLeft());
    QCOMPARE(f.messages.messages, QStringList());

    // A tick or untick alone changes nothing until the next click; during a
    // download a click on the list changes nothing either, nor enables it.
    f.clearJournal();
    tick(f, {2}, false);
    tick(f, {1});
    w.DownloadInProgress = true;
    w.List1->setEnabled(false);
    w.List1_Click();
    QVERIFY(!w.List1->isEnabled());
    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(totals(w), totals(3, 3001234572, "3,001,234,572"));
    QCOMPARE(w.FileSizes[1], 0.0);
    w.DownloadInProgress = false;
    w.List1->setEnabled(true);

    tick(f, {1}, false);
    f.clickRow(2);
    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(4)}));
    QCOMPARE(totals(w), totals(2, 1234572, "1,234,572"));
    QCOMPARE(w.FileSizes[2], 3000000000.0); // an unticked title keeps its last size
    QVERIFY(!anyFileStatLeft());

    f.clearJournal();
    tick(f, {0, 3}, false);
    w.List1->setEnabled(false);
    w.List1_Click();
    QVERIFY(w.List1->isEnabled()); // a click on the list enables it again
    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(totals(w), totals(0, 0, ""));
}

void TestGuideTagging::faultyFileStat_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QByteArray>("onlyFile");
    QTest::addColumn<bool>("staleFiles");
    QTest::addColumn<QList<double>>("sizes");
    QTest::addColumn<QStringList>("unmeasured");
    QTest::addColumn<QString>("total");

    const QByteArray b = "1000000002.mpg";
    const QList<double> noBravo{1234567, 0, 3000000000};
    const QStringList bravo{"Bravo (1000000002.mpg)"};
    const QString alphaAndCharlie = totals(3, 3001234567, "3,001,234,567");
    QTest::addRow("no FStat.txt") << QByteArray("no-fstat") << b << false << noBravo << bravo << alphaAndCharlie;
    QTest::addRow("one field") << QByteArray("bad-fstat") << b << false << noBravo << bravo << alphaAndCharlie;
    const QStringList all{"Alpha (1000000001.mpg)", "Bravo (1000000002.mpg)", "Charlie (1000000003.mpg)"};
    QTest::addRow("every title") << QByteArray("no-fstat") << QByteArray() << false << QList<double>{0, 0, 0} << all
                                 << totals(3, 0, "");
    QTest::addRow("no helper") << QByteArray("no helper") << QByteArray() << false << QList<double>{0, 0, 0} << all
                               << totals(3, 0, "");
    // A helper that writes a whole line and then never ends: its line is not taken.
    QTest::addRow("helper stuck") << QByteArray("stuck") << b << false << noBravo << bravo << alphaAndCharlie;
    // Files left from before, in any letter case, are not this title's size.
    QTest::addRow("stale FStat.txt") << QByteArray("no-fstat") << QByteArray("1000000001.mpg") << true
                                     << QList<double>{0, 2000000, 3000000000} << QStringList{"Alpha (1000000001.mpg)"}
                                     << totals(3, 3002000000, "3,002,000,000");
}

void TestGuideTagging::faultyFileStat()
{
    QFETCH(QByteArray, fault);
    QFETCH(QByteArray, onlyFile);
    QFETCH(bool, staleFiles);
    QFETCH(QList<double>, sizes);
    QFETCH(QStringList, unmeasured);
    QFETCH(QString, total);
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    // Sizes from an earlier click must not survive into this one.
    tick(f, {0, 1});
    f.clickRow(0);
    QCOMPARE(w.FileSizes[0] + w.FileSizes[1], 3234567.0);
    f.clearJournal();
    if (staleFiles) {
        writeFile(QStringLiteral("FStat.txt"), "FileStat,Size=999,Name=old.mpg\r\n");
        writeFile(QStringLiteral("fstat.TXT"), "FileStat,Size=888,Name=old.mpg\r\n");
    }

    const bool noHelper = fault == "no helper";
    const bool stuck = fault == "stuck";
    if (noHelper)
        f.hideTools();
    else if (stuck)
        f.useStuckTool(QStringLiteral("Tamrick"), QString::fromLatin1(onlyFile), QStringLiteral("FStat.txt"),
                       "FileStat,Size=2000000,Name=" + onlyFile + "\r\n");
    else
        f.useFault(fault, onlyFile);
    tick(f, {2});
    StallLimits limits;
    limits.runningMs = 1000;
    w.List1_Click(limits);
    QCOMPARE(f.journal(), (noHelper ? QStringList() : QStringList{tamrick(1), tamrick(2), tamrick(3)}));
    QCOMPARE(QList<double>(w.FileSizes.begin(), w.FileSizes.begin() + 3), sizes);
    QCOMPARE(totals(w), total);
    // The runner tells each failed start, and each stuck helper it stopped;
    // then one message names the titles.
    const QString toolProblem = noHelper ? QStringLiteral("Cannot run \"Tamrick\"")
                                         : QStringLiteral("Tamrick 1000000002.mpg was stopped: for 1 second");
    QCOMPARE(f.messages.messages.size(), noHelper ? 4 : stuck ? 2 : 1);
    for (const QString &told : f.messages.messages.mid(0, f.messages.messages.size() - 1))
        QVERIFY2(told.startsWith(toolProblem), qPrintable(told));
    QCOMPARE(f.messages.messages.last(), GuideMessages::titlesNotMeasured(unmeasured));
    QVERIFY(!anyFileStatLeft());
}

QTEST_MAIN(TestGuideTagging)
#include "tst_guide_window_tagging.moc"
