// The progress strip's words: rate, time left and percent for given sizes.
#include "progress/ProgressStrip.h"
#include "progress/ProgressText.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void lineForRatesAndSizes_data();
    void lineForRatesAndSizes();
    void rateOverRecentWindow();
    void stripFollowsTitle();
};

void TestProgress::lineForRatesAndSizes_data()
{
    QTest::addColumn<double>("done");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("line");

    QTest::addRow("start, rate unknown") << 0.0 << 5e6 << 0.0 << "0 %";
    QTest::addRow("minutes left") << 42e6 << 100e6 << 3.1e5 << QString::fromUtf8("42 % · 310 KB/s · 4 min left");
    QTest::addRow("seconds left") << 90e6 << 100e6 << 3.1e6 << QString::fromUtf8("90 % · 3.1 MB/s · 4 s left");
    QTest::addRow("hours left") << 0.0 << 4e9 << 1e6 << QString::fromUtf8("0 % · 1.0 MB/s · 1 h 07 min left");
    QTest::addRow("past the size") << 6e6 << 5e6 << 2e6 << QString::fromUtf8("100 % · 2.0 MB/s · 0 s left");
    QTest::addRow("size unknown") << 1e6 << 0.0 << 500.0 << "500 B/s";
    QTest::addRow("just under") << 99.9 << 100.0 << 0.0 << "99 %";
}

void TestProgress::lineForRatesAndSizes()
{
    QFETCH(double, done);
    QFETCH(double, expected);
    QFETCH(double, rate);
    QFETCH(QString, line);
    QCOMPARE(progressLine(done, expected, rate), line);
}

void TestProgress::rateOverRecentWindow()
{
    RateMeter meter(5000);
    QCOMPARE(meter.bytesPerSecond(), 0.0);
    meter.addSample(0, 0);
    QCOMPARE(meter.bytesPerSecond(), 0.0);
    // 1 MB/s for ten seconds, then 3 MB/s: the window only sees the recent rate.
    for (qint64 t = 1; t <= 10; ++t)
        meter.addSample(t * 1000, double(t) * 1e6);
    QCOMPARE(meter.bytesPerSecond(), 1e6);
    for (qint64 t = 11; t <= 20; ++t)
        meter.addSample(t * 1000, 10e6 + double(t - 10) * 3e6);
    QCOMPARE(meter.bytesPerSecond(), 3e6);
    // A file that starts over is measured afresh.
    meter.addSample(21000, 0);
    QCOMPARE(meter.bytesPerSecond(), 0.0);
}

void TestProgress::stripFollowsTitle()
{
    ProgressStrip strip;
    QCOMPARE(strip.text(), QString());
    auto *bar = strip.findChild<QProgressBar *>(QStringLiteral("TitleProgress"));
    QVERIFY(bar);
    QVERIFY(bar->isHidden());

    strip.titleStarted(1000);
    QVERIFY(!bar->isHidden());
    QCOMPARE(strip.text(), QStringLiteral("0 %"));
    strip.titleProgress(250);
    QCOMPARE(strip.percent(), 25);
    strip.sessionProgress(250, 4000);
    QCOMPARE(bar->toolTip(), QStringLiteral("Session: 6 % of 4,000 bytes"));

    strip.clear();
    QCOMPARE(strip.text(), QString());
    QCOMPARE(bar->toolTip(), QString());
    QVERIFY(bar->isHidden());
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
