// Exit, Set Mpeg Path and closing the main window through its frame, driven
// through the real controls; files on disk checked byte for byte.
#include "about/frmAbout.h"
#include "log/Form2.h"
#include "mainwindow/Form1.h"

#include "TestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <unistd.h>

namespace {

const QByteArray kOldLog = "Kelvado 1.5 log for 01-02-2024 10:00:00\r\n        \r\n";
const QByteArray kTermination = "Program Terminated \r\n \r\n \r\n";
const QString kRefusal = QStringLiteral("Cannot quit - download in progress.");

QByteArray settingsLine(const QByteArray &address, const QByteArray &delay)
{
    return "\"" + address + "\",\"" + delay + "\"\r\n";
}

// Catches the end of the process so the test runner lives on.
struct ExitCatcher
{
    int calls = 0;
    ExitCatcher() { Form1::setProgramExit([this] { ++calls; }); }
    ~ExitCatcher() { Form1::setProgramExit({}); }
};

QStringList visibleTopLevels()
{
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            names << widget->objectName();
    names.sort();
    return names;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void quit_data();
    void quit();
    void quitRefusedDuringSession();
    void quitToldProblemsInOneMessage_data();
    void quitToldProblemsInOneMessage();
    void quitWithUndeletableGuideFile();
    void frameCloseRefusedDuringSession();
    void frameCloseEndsWithoutQuitSteps();
    void setMpegPath_data();
    void setMpegPath();

private:
    // A window started over an existing log and settings file; the settings
    // file is then removed so that a later save shows on disk.
    std::unique_ptr<Form1> startWindow(const QByteArray &address, const QByteArray &delay);
};

std::unique_ptr<Form1> TestCommands::startWindow(const QByteArray &address, const QByteArray &delay)
{
    writeFile(QStringLiteral("Kelvado.LOG"), kOldLog);
    writeFile(QStringLiteral("RPTVIP.dat"), settingsLine(address, delay));
    auto window = std::make_unique<Form1>();
    window->Form_Load();
    window->show();
    QFile::remove(QStringLiteral("RPTVIP.dat"));
    return window;
}

void TestCommands::quit_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("delay");
    QTest::addColumn<QStringList>("guideFiles");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QByteArray>("log");

    const QStringList bare{"Kelvado.LOG", "RPTVIP.dat"};
    QTest::addRow("address, both guide files")
        << QByteArray("192.168.0.20") << QByteArray("Default") << QStringList{"Guide.dat", "Guide.txt"} << bare
        << kOldLog + kTermination;
    QTest::addRow("address, guide files in other letter case")
        << QByteArray("192.168.0.20") << QByteArray("Default") << QStringList{"GUIDE.DAT", "guide.txt"} << bare
        << kOldLog + kTermination;
    QTest::addRow("address, only Guide.dat")
        << QByteArray("10.0.0.9") << QByteArray("10") << QStringList{"Guide.dat"} << bare << kOldLog + kTermination;
    QTest::addRow("address, no guide files")
        << QByteArray("10.0.0.9") << QByteArray("Default") << QStringList{} << bare << kOldLog + kTermination;
    QTest::addRow("empty address leaves guide files and log")
        << QByteArray() << QByteArray("7") << QStringList{"Guide.dat", "Guide.txt"}
        << QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat"} << kOldLog;
}

void TestCommands::quit()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, delay);
    QFETCH(QStringList, guideFiles);
    QFETCH(QStringList, left);
    QFETCH(QByteArray, log);

    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow(address, delay);
    QCOMPARE(window->IPAddress->text(), QString::fromLatin1(address));
    for (const QString &name : guideFiles)
        writeFile(name, "guide\r\n");

    QTest::mouseClick(window->Quit, Qt::LeftButton);

    QCOMPARE(exit.calls, 1);
    QCOMPARE(messages.messages, QStringList());
    QCOMPARE(workingDirEntries(), left);
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), log);
    QCOMPARE(readFile(QStringLiteral("RPTVIP.dat")), settingsLine(address, delay));
}

void TestCommands::quitRefusedDuringSession()
{
    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow("192.168.0.20", "Default");
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    writeFile(QStringLiteral("Guide.dat"), "dat");

    window->DownloadInProgress = true;
    QTest::mouseClick(window->Quit, Qt::LeftButton);
    QCOMPARE(messages.messages, QStringList{kRefusal});
    QCOMPARE(exit.calls, 0);
    QCOMPARE(workingDirEntries(), (QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG"}));
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog);

    // Once the session is over, Exit does its work.
    window->DownloadInProgress = false;
    QTest::mouseClick(window->Quit, Qt::LeftButton);
    QCOMPARE(messages.messages, QStringList{kRefusal});
    QCOMPARE(exit.calls, 1);
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat"}));
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog + kTermination);
}

void TestCommands::quitToldProblemsInOneMessage_data()
{
    QTest::addColumn<bool>("logBlocked");
    QTest::addColumn<bool>("settingsBlocked");
    QTest::addColumn<QStringList>("named");

    QTest::addRow("log cannot be written") << true << false << QStringList{"Kelvado.LOG"};
    QTest::addRow("settings cannot be saved") << false << true << QStringList{"RPTVIP.dat"};
    QTest::addRow("neither") << true << true << QStringList{"Kelvado.LOG", "RPTVIP.dat"};
}

void TestCommands::quitToldProblemsInOneMessage()
{
    QFETCH(bool, logBlocked);
    QFETCH(bool, settingsBlocked);
    QFETCH(QStringList, named);

    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow("192.168.0.20", "Default");
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    // A folder in the file's place cannot be written as a file, not even by root.
    if (logBlocked) {
        QFile::remove(QStringLiteral("Kelvado.LOG"));
        QVERIFY(QDir().mkdir(QStringLiteral("Kelvado.LOG")));
    }
    if (settingsBlocked)
        QVERIFY(QDir().mkdir(QStringLiteral("RPTVIP.dat")));
    // An earlier failed save was told already; Exit tells it again.
    if (settingsBlocked)
        QTest::keyClick(window->IPAddress, Qt::Key_1);
    messages.messages.clear();

    QTest::mouseClick(window->Quit, Qt::LeftButton);

    QCOMPARE(exit.calls, 1);
    QCOMPARE(messages.messages.size(), 1);
    const QString told = messages.messages.first();
    QVERIFY2(told.startsWith(QStringLiteral("Kelvado is ending, but not everything could be done:\n\n")),
             qPrintable(told));
    QCOMPARE(told.count(u'\n'), 1 + named.size());
    for (const QString &name : named)
        QVERIFY2(told.contains(name), qPrintable(told));
    QVERIFY(!QFile::exists(QStringLiteral("Guide.txt")));
    if (!logBlocked)
        QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog + kTermination);
    if (!settingsBlocked)
        QCOMPARE(readFile(QStringLiteral("RPTVIP.dat")), settingsLine("192.168.0.20", "Default"));
}

void TestCommands::quitWithUndeletableGuideFile()
{
    if (::geteuid() == 0)
        QSKIP("root deletes files in a read-only folder");
    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow("192.168.0.20", "Default");
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    QTest::mouseClick(window->Quit, Qt::LeftButton);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(exit.calls, 1);
    QCOMPARE(messages.messages.size(), 1);
    QVERIFY2(messages.messages.first().contains(QStringLiteral("Guide.txt")), qPrintable(messages.messages.first()));
    QVERIFY2(messages.messages.first().contains(QStringLiteral("RPTVIP.dat")), qPrintable(messages.messages.first()));
    QCOMPARE(readFile(QStringLiteral("Guide.txt")), QByteArray("guide\r\n"));
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog + kTermination);
}

void TestCommands::frameCloseRefusedDuringSession()
{
    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow("192.168.0.20", "Default");
    window->mnuAbout->trigger();
    window->DownloadInProgress = true;

    QVERIFY(!window->close());

    QCOMPARE(messages.messages, QStringList{kRefusal});
    QVERIFY(window->isVisible());
    QVERIFY(window->aboutDialog() && window->aboutDialog()->isVisible());
    QCOMPARE(exit.calls, 0);
}

void TestCommands::frameCloseEndsWithoutQuitSteps()
{
    ScratchDir dir;
    MessageCapture messages;
    ExitCatcher exit;
    auto window = startWindow("192.168.0.20", "Default");
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    window->LogView->click();
    window->mnuAbout->trigger();
    QCOMPARE(visibleTopLevels(), (QStringList{"Form1", "Form2", "frmAbout"}));
    QPointer<Form2> viewer = window->logViewer();
    QPointer<frmAbout> about = window->aboutDialog();

    QVERIFY(window->close());

    QCOMPARE(visibleTopLevels(), QStringList());
    QTRY_VERIFY(viewer.isNull() && about.isNull());
    QCOMPARE(messages.messages, QStringList());
    QCOMPARE(exit.calls, 0);
    QCOMPARE(workingDirEntries(), (QStringList{"Guide.txt", "Kelvado.LOG"}));
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog);
}

void TestCommands::setMpegPath_data()
{
    QTest::addColumn<bool>("duringSession");
    QTest::addColumn<bool>("byEscape");

    QTest::addRow("button") << false << false;
    QTest::addRow("button during a session") << true << false;
    QTest::addRow("Escape") << false << true;
    QTest::addRow("Escape during a session") << true << true;
}

void TestCommands::setMpegPath()
{
    QFETCH(bool, duringSession);
    QFETCH(bool, byEscape);

    ScratchDir dir;
    MessageCapture messages;
    auto window = startWindow("192.168.0.20", "Default");
    const QStringList filesBefore = workingDirEntries();
    window->DownloadInProgress = duringSession;

    if (byEscape) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTRY_COMPARE(messages.messages.size(), 1);
    } else {
        QTest::mouseClick(window->GetPath, Qt::LeftButton);
    }

    QCOMPARE(messages.messages, QStringList{QStringLiteral("Hopefully next release")});
    QCOMPARE(workingDirEntries(), filesBefore);
    QCOMPARE(window->DownloadInProgress, duringSession);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
