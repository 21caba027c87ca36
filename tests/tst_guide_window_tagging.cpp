// Tagging titles: ticking rows and clicking the list measures every ticked
// title through the simulated helper.
#include "fixtures/guide/GuideWindowFixture.h"

#include "guide/GuideMessages.h"

#include <QLocale>

namespace {

QList<CatalogRecording> fourRecordings()
{
    return {
        {QStringLiteral("Alpha"), QStringLiteral("Standard"), QStringLiteral("01/01/2001"), QStringLiteral("20:00:00"),
         QStringLiteral("1000000001.mpg"), 30, 1234567},
        {QStringLiteral("Bravo (Repeat)"), QStringLiteral("Medium"), QStringLiteral("02/02/2002"),
         QStringLiteral("21:00:00"), QStringLiteral("1000000002.mpg"), 60, 2000000},
        {QStringLiteral("Charlie"), QStringLiteral("High"), QStringLiteral("03/03/2003"), QStringLiteral("22:00:00"),
         QStringLiteral("1000000003.mpg"), 120, 3000000000LL},
        {QStringLiteral("Delta"), QStringLiteral("High"), QStringLiteral("04/04/2004"), QStringLiteral("23:00:00"),
         QStringLiteral("1000000004.mpg"), 5, 5},
    };
}

QString tamrick(int n)
{
    return QStringLiteral("Tamrick 100000000%1.mpg").arg(n);
}

// A byte total as the window shows it: digits grouped by three with the
// user's thousands separator.
QString grouped(const char *commaGrouped)
{
    return QString::fromLatin1(commaGrouped).replace(u',', QLocale::system().groupSeparator());
}

bool anyFileStatLeft()
{
    for (const QString &name : workingDirEntries()) {
        if (name.compare(QStringLiteral("FStat.txt"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

class TestGuideTagging : public QObject
{
    Q_OBJECT

private slots:
    void measureThreeTicked();
    void untickAndMeasureAgain();
    void nothingTicked();
    void tickingAloneChangesNothing();
    void faultyFileStat_data();
    void faultyFileStat();
    void staleFileStatNotTaken();
    void helperNotFound();
    void clickBeforeGuide();
    void clickDuringDownload();
    void clickEnablesList();

private:
    // A window with the four-title guide loaded and the journal emptied.
    static Form1 &windowWithGuide(GuideWindowFixture &f);
};

Form1 &TestGuideTagging::windowWithGuide(GuideWindowFixture &f)
{
    f.useCatalog(fourRecordings());
    Form1 &w = f.startWindow();
    f.pressGetGuide();
    f.clearJournal();
    return w;
}

void TestGuideTagging::measureThreeTicked()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    QCOMPARE(w.TitleCount, short(4));
    f.setTicked(0, true);
    f.setTicked(2, true);
    f.setTicked(3, true);

    f.clickRow(1);

    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(3), tamrick(4)}));
    QCOMPARE(w.List1->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(w.TaggedCount, short(3));
    QCOMPARE(w.Text5->text(), QStringLiteral("3"));
    QCOMPARE(w.TotalSize, 3001234572.0);
    QCOMPARE(w.Text6->text(), grouped("3,001,234,572"));
    QCOMPARE(w.FileSizes[0], 1234567.0);
    QCOMPARE(w.FileSizes[1], 0.0);
    QCOMPARE(w.FileSizes[2], 3000000000.0);
    QCOMPARE(w.FileSizes[3], 5.0);
    QVERIFY(!anyFileStatLeft());
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideTagging::untickAndMeasureAgain()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    for (int row : {0, 2, 3})
        f.setTicked(row, true);
    f.clickRow(0);
    f.clearJournal();

    f.setTicked(2, false);
    f.clickRow(2);

    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(4)}));
    QCOMPARE(w.TaggedCount, short(2));
    QCOMPARE(w.Text5->text(), QStringLiteral("2"));
    QCOMPARE(w.Text6->text(), grouped("1,234,572"));
    // The unticked title keeps the size of its last measuring.
    QCOMPARE(w.FileSizes[2], 3000000000.0);
    QVERIFY(!anyFileStatLeft());
}

void TestGuideTagging::nothingTicked()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    f.setTicked(1, true);
    f.clickRow(0);
    QCOMPARE(w.Text6->text(), grouped("2,000,000"));
    f.clearJournal();

    f.setTicked(1, false);
    f.clickRow(0);

    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(w.TaggedCount, short(0));
    QCOMPARE(w.TotalSize, 0.0);
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    QCOMPARE(w.Text6->text(), QString());
}

void TestGuideTagging::tickingAloneChangesNothing()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    f.setTicked(0, true);
    f.clickRow(0);
    f.clearJournal();

    f.setTicked(0, false);
    f.setTicked(1, true);
    f.setTicked(3, true);

    QCOMPARE(f.journal(), QStringList());
    QCOMPARE(w.TaggedCount, short(1));
    QCOMPARE(w.TotalSize, 1234567.0);
    QCOMPARE(w.Text5->text(), QStringLiteral("1"));
    QCOMPARE(w.Text6->text(), grouped("1,234,567"));
    QCOMPARE(f.messages.messages, QStringList());
}

void TestGuideTagging::faultyFileStat_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QByteArray>("onlyFile");
    QTest::addColumn<QStringList>("unmeasured");
    QTest::addColumn<QString>("total");

    const QStringList bravo{"Bravo (1000000002.mpg)"};
    const QString alphaAndCharlie = grouped("3,001,234,567");
    QTest::addRow("no FStat.txt") << QByteArray("no-fstat") << QByteArray("1000000002.mpg") << bravo << alphaAndCharlie;
    QTest::addRow("one field") << QByteArray("bad-fstat") << QByteArray("1000000002.mpg") << bravo << alphaAndCharlie;
    QTest::addRow("second field too short") << QByteArray("short-fstat") << QByteArray("1000000002.mpg") << bravo
                                            << alphaAndCharlie;
    QTest::addRow("every title")
        << QByteArray("no-fstat") << QByteArray()
        << QStringList{"Alpha (1000000001.mpg)", "Bravo (1000000002.mpg)", "Charlie (1000000003.mpg)"} << QString();
}

void TestGuideTagging::faultyFileStat()
{
    QFETCH(QByteArray, fault);
    QFETCH(QByteArray, onlyFile);
    QFETCH(QStringList, unmeasured);
    QFETCH(QString, total);

    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    // Sizes from an earlier click must not survive into this one.
    f.setTicked(1, true);
    f.clickRow(0);
    QCOMPARE(w.FileSizes[1], 2000000.0);
    f.clearJournal();

    f.useFault(fault, onlyFile);
    for (int row : {0, 1, 2})
        f.setTicked(row, true);
    f.clickRow(3);

    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(2), tamrick(3)}));
    QCOMPARE(w.TaggedCount, short(3));
    QCOMPARE(w.Text5->text(), QStringLiteral("3"));
    QCOMPARE(w.FileSizes[1], 0.0);
    QCOMPARE(w.Text6->text(), total);
    QCOMPARE(w.TotalSize, w.FileSizes[0] + w.FileSizes[1] + w.FileSizes[2]);
    QCOMPARE(f.messages.messages, QStringList{GuideMessages::titlesNotMeasured(unmeasured)});
    QVERIFY(!anyFileStatLeft());
}

void TestGuideTagging::staleFileStatNotTaken()
{
    // Files left from before in any letter case are not this title's size.
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    writeFile(QStringLiteral("FStat.txt"), "FileStat,Size=999,Name=old.mpg\r\n");
    writeFile(QStringLiteral("fstat.TXT"), "FileStat,Size=888,Name=old.mpg\r\n");
    f.useFault("no-fstat", "1000000001.mpg");
    f.setTicked(0, true);
    f.setTicked(3, true);
    f.clickRow(0);

    QCOMPARE(f.journal(), (QStringList{tamrick(1), tamrick(4)}));
    QCOMPARE(w.FileSizes[0], 0.0);
    QCOMPARE(w.FileSizes[3], 5.0);
    QCOMPARE(w.Text6->text(), QStringLiteral("5"));
    QCOMPARE(f.messages.messages, QStringList{GuideMessages::titlesNotMeasured({"Alpha (1000000001.mpg)"})});
    QVERIFY(!anyFileStatLeft());
}

void TestGuideTagging::helperNotFound()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    f.hideTools();
    f.setTicked(0, true);
    f.setTicked(2, true);
    f.clickRow(0);

    // The runner tells each failed start; then one message names the titles.
    QCOMPARE(f.messages.messages.size(), 3);
    QVERIFY2(f.messages.messages.at(0).startsWith(QStringLiteral("Cannot run \"Tamrick\"")),
             qPrintable(f.messages.messages.at(0)));
    QCOMPARE(f.messages.messages.at(2),
             GuideMessages::titlesNotMeasured({"Alpha (1000000001.mpg)", "Charlie (1000000003.mpg)"}));
    QCOMPARE(w.TaggedCount, short(2));
    QCOMPARE(w.Text5->text(), QStringLiteral("2"));
    QCOMPARE(w.Text6->text(), QString());
}

void TestGuideTagging::clickBeforeGuide()
{
    GuideWindowFixture f;
    f.useCatalog(fourRecordings());
    Form1 &w = f.startWindow();
    w.TaggedCount = 7;
    w.TotalSize = 99;
    w.List1_Click();
    QCOMPARE(w.TaggedCount, short(0));
    QCOMPARE(w.TotalSize, 0.0);
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    QCOMPARE(w.Text6->text(), QString());
    QCOMPARE(f.journal(), QStringList());
}

void TestGuideTagging::clickDuringDownload()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    f.setTicked(0, true);
    f.clickRow(0);
    f.clearJournal();

    w.DownloadInProgress = true;
    w.List1->setEnabled(false);
    f.setTicked(1, true);
    w.List1_Click();

    QCOMPARE(f.journal(), QStringList());
    QVERIFY(!w.List1->isEnabled());
    QCOMPARE(w.TaggedCount, short(1));
    QCOMPARE(w.TotalSize, 1234567.0);
    QCOMPARE(w.Text5->text(), QStringLiteral("1"));
    QCOMPARE(w.Text6->text(), grouped("1,234,567"));
    QCOMPARE(w.FileSizes[1], 0.0);
}

void TestGuideTagging::clickEnablesList()
{
    GuideWindowFixture f;
    Form1 &w = windowWithGuide(f);
    w.List1->setEnabled(false);
    w.List1_Click();
    QVERIFY(w.List1->isEnabled());
}

QTEST_MAIN(TestGuideTagging)
#include "tst_guide_window_tagging.moc"
