// The connection settings driven through the real controls, with the bytes of
// the settings file checked after each step.
#include "mainwindow/Form1.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {

QByteArray settingsBytes()
{
    return readFile(QStringLiteral("RPTVIP.dat"));
}

QByteArray line(const char *address, const char *delay)
{
    return QByteArray("\"") + address + "\",\"" + delay + "\"\r\n";
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<StartedWindow>(); }
    void cleanup() { m_env.reset(); }

    void firstRunTypingAddress();
    void tickingPutsDefault();
    void untickingChangesNothingElse();
    void typingDelayUnticks();
    void typingDefaultByHandLeavesCheckBox();
    void clearingDelaySavesDefault();
    void trailingBlanksDropped();
    void lowerCaseDefaultIsOrdinaryText();
    void clearingAddressKeepsLastSaved();
    void unwritableFileIsToldOnce();

private:
    Form1 &startWindow();

    std::unique_ptr<StartedWindow> m_env;
};

Form1 &TestSettingsWindow::startWindow()
{
    Form1 &w = m_env->start();
    w.show();
    return w;
}

void TestSettingsWindow::firstRunTypingAddress()
{
    Form1 &w = startWindow();
    QVERIFY(!QFile::exists(QStringLiteral("RPTVIP.dat")));
    QTest::keyClicks(w.IPAddress, QStringLiteral("1"));
    QCOMPARE(settingsBytes(), line("1", "Default"));
    QCOMPARE(w.Text9->text(), QString());
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(w.DelayFactor, QStringLiteral("Default"));

    QTest::keyClicks(w.IPAddress, QStringLiteral("0"));
    QVERIFY(w.Check1->isChecked());
    QCOMPARE(w.Text9->text(), QStringLiteral("Default"));
    QCOMPARE(settingsBytes(), line("10", "Default"));
    QCOMPARE(w.RecorderIP, QStringLiteral("10"));
}

void TestSettingsWindow::tickingPutsDefault()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "7"));
    Form1 &w = startWindow();
    QCOMPARE(w.Text9->text(), QStringLiteral("7"));
    QVERIFY(!w.Check1->isChecked());
    QTest::mouseClick(w.Check1, Qt::LeftButton);
    QVERIFY(w.Check1->isChecked());
    QCOMPARE(w.Text9->text(), QStringLiteral("Default"));
    QCOMPARE(w.DelayFactor, QStringLiteral("Default"));
    QCOMPARE(settingsBytes(), line("10.0.0.5", "Default"));
}

void TestSettingsWindow::untickingChangesNothingElse()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "Default"));
    Form1 &w = startWindow();
    QVERIFY(w.Check1->isChecked());
    QTest::mouseClick(w.Check1, Qt::LeftButton);
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(w.Text9->text(), QStringLiteral("Default"));
    QCOMPARE(w.DelayFactor, QStringLiteral("Default"));
    QCOMPARE(settingsBytes(), line("10.0.0.5", "Default"));
}

void TestSettingsWindow::typingDelayUnticks()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "Default"));
    Form1 &w = startWindow();
    w.Text9->selectAll();
    QTest::keyClicks(w.Text9, QStringLiteral("12"));
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(settingsBytes(), line("10.0.0.5", "12"));
    QCOMPARE(w.DelayFactor, QStringLiteral("12"));
}

void TestSettingsWindow::typingDefaultByHandLeavesCheckBox()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "7"));
    Form1 &w = startWindow();
    w.Text9->clear();
    QTest::keyClicks(w.Text9, QStringLiteral("Default"));
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(settingsBytes(), line("10.0.0.5", "Default"));
}

void TestSettingsWindow::clearingDelaySavesDefault()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "Default"));
    Form1 &w = startWindow();
    QVERIFY(w.Check1->isChecked());
    w.Text9->clear();
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(w.Text9->text(), QString());
    QCOMPARE(settingsBytes(), line("10.0.0.5", "Default"));
    // The next keystroke in the address box ticks the box and puts the word back.
    QTest::keyClicks(w.IPAddress, QStringLiteral("1"));
    QVERIFY(w.Check1->isChecked());
    QCOMPARE(w.Text9->text(), QStringLiteral("Default"));
    QCOMPARE(settingsBytes(), line("10.0.0.51", "Default"));
}

void TestSettingsWindow::trailingBlanksDropped()
{
    Form1 &w = startWindow();
    QTest::keyClicks(w.IPAddress, QStringLiteral(" 10.0.0.9  "));
    // The second keystroke in the address box put "Default" into the delay box.
    QCOMPARE(w.Text9->text(), QStringLiteral("Default"));
    w.Text9->clear();
    QTest::keyClicks(w.Text9, QStringLiteral(" 5  "));
    QCOMPARE(settingsBytes(), line(" 10.0.0.9", " 5"));
    QCOMPARE(w.Text9->text(), QStringLiteral(" 5  "));
}

void TestSettingsWindow::lowerCaseDefaultIsOrdinaryText()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "Default"));
    Form1 &w = startWindow();
    w.Text9->clear();
    QTest::keyClicks(w.Text9, QStringLiteral("default"));
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(settingsBytes(), line("10.0.0.5", "default"));
    // A keystroke in the address box does not tick the box for it.
    QTest::keyClicks(w.IPAddress, QStringLiteral("1"));
    QVERIFY(!w.Check1->isChecked());
}

void TestSettingsWindow::clearingAddressKeepsLastSaved()
{
    writeFile(QStringLiteral("RPTVIP.dat"), line("10.0.0.5", "7"));
    Form1 &w = startWindow();
    w.IPAddress->setFocus();
    w.IPAddress->end(false);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(w.IPAddress, Qt::Key_Backspace);
    QCOMPARE(w.IPAddress->text(), QString());
    // The save before the box became empty held the one character left then.
    QCOMPARE(settingsBytes(), line("1", "7"));
    // A change of the delay box then writes the empty address.
    QTest::keyClicks(w.Text9, QStringLiteral("8"));
    QCOMPARE(settingsBytes(), line("", "78"));
}

void TestSettingsWindow::unwritableFileIsToldOnce()
{
    // A folder where the settings file should be: every save fails.
    QVERIFY(QDir().mkdir(QStringLiteral("RPTVIP.dat")));
    Form1 &w = startWindow();
    QCOMPARE(m_env->captured.messages.size(), 0);
    QTest::keyClicks(w.IPAddress, QStringLiteral("10.0.0.5"));
    QCOMPARE(m_env->captured.messages.size(), 1);
    QVERIFY(m_env->captured.messages.first().contains(QStringLiteral("RPTVIP.dat")));
    // The settings stay in memory.
    QCOMPARE(w.RecorderIP, QStringLiteral("10.0.0.5"));
    QCOMPARE(w.DelayFactor, QStringLiteral("Default"));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
