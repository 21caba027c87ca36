// Exit, Set Mpeg Path and closing the main window through its frame, driven
// through the real controls; files on disk checked byte for byte.
#include "about/frmAbout.h"
#include "log/Form2.h"

#include "fixtures/guide/GuideWindowFixture.h"

#include "common/UserMessage.h"
#include "mainwindow/MessageBox.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <unistd.h>

namespace {

const QByteArray kOldLog = "Kelvado 1.5 log for 01-02-2024 10:00:00\r\n        \r\n";
const QByteArray kTermination = "Program Terminated \r\n \r\n \r\n";
const QString kRefusal = QStringLiteral("Cannot quit - download in progress.");

QByteArray settingsLine(const QByteArray &address, const QByteArray &delay)
{
    return "\"" + address + "\",\"" + delay + "\"\r\n";
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void quit_data();
    void quit();
    void refusedDuringSession_data();
    void refusedDuringSession();
    void quitToldProblemsInOneMessage_data();
    void quitToldProblemsInOneMessage();
    void setMpegPath_data();
    void setMpegPath();
    void messageBoxOverItsWindow_data();
    void messageBoxOverItsWindow();

private:
    // A window started over an existing log and settings file; the settings
    // file is then removed so that a later save shows on disk.
    Form1 &startWindow(const QByteArray &address = "192.168.0.20", const QByteArray &delay = "Default");

    std::unique_ptr<WindowFixture> m_f;
    int m_exits = 0; // the end of the process, caught so the test runner lives on
};

void TestCommands::init()
{
    m_f = std::make_unique<WindowFixture>();
    m_exits = 0;
    Form1::setProgramExit([this] { ++m_exits; });
}

void TestCommands::cleanup()
{
    m_f.reset();
    Form1::setProgramExit({});
}

Form1 &TestCommands::startWindow(const QByteArray &address, const QByteArray &delay)
{
    writeFile(QStringLiteral("Kelvado.LOG"), kOldLog);
    writeFile(QStringLiteral("RPTVIP.dat"), settingsLine(address, delay));
    Form1 &window = m_f->start();
    QFile::remove(QStringLiteral("RPTVIP.dat"));
    return window;
}

void TestCommands::quit_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QStringList>("guideFiles");

    QTest::addRow("both guide files") << "192.168.0.20" << "Default" << QStringList{"Guide.dat", "Guide.txt"};
    QTest::addRow("guide files in other letter case") << "192.168.0.20" << "Default"
                                                      << QStringList{"GUIDE.DAT", "guide.txt"};
    QTest::addRow("several letter cases side by side")
        << "192.168.0.20" << "Default" << QStringList{"GUIDE.TXT", "Guide.dat", "Guide.txt", "guide.DAT"};
    QTest::addRow("only Guide.dat") << "10.0.0.9" << "10" << QStringList{"Guide.dat"};
    QTest::addRow("no guide files") << "10.0.0.9" << "Default" << QStringList{};
    QTest::addRow("empty address leaves guide files and log") << "" << "7" << QStringList{"Guide.dat", "Guide.txt"};
}

void TestCommands::quit()
{
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(QStringList, guideFiles);
    Form1 &w = startWindow(address.toLatin1(), delay.toLatin1());
    QCOMPARE(w.IPAddress->text(), address);
    for (const QString &name : guideFiles)
        writeFile(name, "guide\r\n");

    QTest::mouseClick(w.Quit, Qt::LeftButton);
    QCOMPARE(m_exits, 1);
    QCOMPARE(m_f->messages.messages, QStringList());
    const QStringList settingsAndLog{"Kelvado.LOG", "RPTVIP.dat"};
    QCOMPARE(workingDirEntries(), address.isEmpty() ? guideFiles + settingsAndLog : settingsAndLog);
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), address.isEmpty() ? kOldLog : kOldLog + kTermination);
    QCOMPARE(readFile(QStringLiteral("RPTVIP.dat")), settingsLine(address.toLatin1(), delay.toLatin1()));
}

void TestCommands::refusedDuringSession_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::addColumn<QStringList>("filesAfter");
    QTest::addColumn<QByteArray>("logAfter");

    // Closing through the frame ends the window without Exit's steps.
    QTest::addRow("Exit") << false << QStringList{"Kelvado.LOG", "RPTVIP.dat"} << kOldLog + kTermination;
    QTest::addRow("close box") << true << QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG"} << kOldLog;
}

void TestCommands::refusedDuringSession()
{
    QFETCH(bool, byCloseBox);
    QFETCH(QStringList, filesAfter);
    QFETCH(QByteArray, logAfter);
    Form1 &w = startWindow();
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    writeFile(QStringLiteral("Guide.dat"), "dat");
    w.LogView->click();
    w.mnuAbout->trigger();
    QPointer<Form2> viewer = w.logViewer();
    QPointer<frmAbout> about = w.aboutDialog();
    const auto endCommand = [&] { // whether the window closed
        if (byCloseBox)
            return w.close();
        QTest::mouseClick(w.Quit, Qt::LeftButton);
        return false;
    };
    w.DownloadInProgress = true;
    QVERIFY(!endCommand());
    QCOMPARE(m_f->messages.messages, QStringList{kRefusal});
    QCOMPARE(m_exits, 0);
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "Form2", "frmAbout"}));
    QCOMPARE(workingDirEntries(), (QStringList{"Guide.dat", "Guide.txt", "Kelvado.LOG"}));
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog);

    // Once the session is over, the same command does its work.
    w.DownloadInProgress = false;
    QCOMPARE(endCommand(), byCloseBox);
    QCOMPARE(m_f->messages.messages, QStringList{kRefusal});
    QCOMPARE(m_exits, byCloseBox ? 0 : 1);
    if (byCloseBox) {
        QCOMPARE(visibleWindows(), QStringList());
        QTRY_VERIFY(viewer.isNull() && about.isNull());
    }
    QCOMPARE(workingDirEntries(), filesAfter);
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), logAfter);
}

void TestCommands::quitToldProblemsInOneMessage_data()
{
    QTest::addColumn<bool>("logBlocked");
    QTest::addColumn<bool>("settingsBlocked");
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<QStringList>("named");

    QTest::addRow("log cannot be written") << true << false << false << QStringList{"Kelvado.LOG"};
    QTest::addRow("settings cannot be saved") << false << true << false << QStringList{"RPTVIP.dat"};
    QTest::addRow("neither") << true << true << false << QStringList{"Kelvado.LOG", "RPTVIP.dat"};
    QTest::addRow("guide file cannot be deleted") << false << false << true << QStringList{"Guide.txt", "RPTVIP.dat"};
}

void TestCommands::quitToldProblemsInOneMessage()
{
    QFETCH(bool, logBlocked);
    QFETCH(bool, settingsBlocked);
    QFETCH(bool, folderReadOnly);
    QFETCH(QStringList, named);
    if (folderReadOnly && ::geteuid() == 0)
        QSKIP("root deletes files in a read-only folder");
    Form1 &w = startWindow();
    writeFile(QStringLiteral("Guide.txt"), "guide\r\n");
    // A folder in the file's place cannot be written as a file, not even by root.
    if (logBlocked) {
        QFile::remove(QStringLiteral("Kelvado.LOG"));
        QVERIFY(QDir().mkdir(QStringLiteral("Kelvado.LOG")));
    }
    if (settingsBlocked) {
        QVERIFY(QDir().mkdir(QStringLiteral("RPTVIP.dat")));
        QTest::keyClick(w.IPAddress, Qt::Key_1); // a failed save told now; Exit tells it again
    }
    m_f->messages.messages.clear();
    const QFile::Permissions writable = QFile::permissions(m_f->scratch.path());
    if (folderReadOnly)
        QFile::setPermissions(m_f->scratch.path(), QFile::ReadOwner | QFile::ExeOwner);

    QTest::mouseClick(w.Quit, Qt::LeftButton);
    QFile::setPermissions(m_f->scratch.path(), writable);
    QCOMPARE(m_exits, 1);
    QCOMPARE(m_f->messages.messages.size(), 1);
    const QString told = m_f->messages.messages.first();
    QVERIFY2(told.startsWith("Kelvado is ending, but not everything could be done:\n\n"), qPrintable(told));
    QCOMPARE(told.count(u'\n'), 1 + named.size());
    for (const QString &name : named)
        QVERIFY2(told.contains(name), qPrintable(told));
    QCOMPARE(QFile::exists(QStringLiteral("Guide.txt")), folderReadOnly);
    QCOMPARE(readFile(QStringLiteral("Guide.txt")), folderReadOnly ? QByteArray("guide\r\n") : QByteArray());
    if (!logBlocked)
        QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), kOldLog + kTermination);
    if (!settingsBlocked && !folderReadOnly)
        QCOMPARE(readFile(QStringLiteral("RPTVIP.dat")), settingsLine("192.168.0.20", "Default"));
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
    Form1 &w = startWindow();
    const QStringList filesBefore = workingDirEntries();
    w.DownloadInProgress = duringSession;
    if (byEscape) {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QTRY_COMPARE(m_f->messages.messages.size(), 1);
    } else {
        QTest::mouseClick(w.GetPath, Qt::LeftButton);
    }
    QCOMPARE(m_f->messages.messages, QStringList{QStringLiteral("Hopefully next release")});
    QCOMPARE(workingDirEntries(), filesBefore);
    QCOMPARE(w.DownloadInProgress, duringSession);
}

void TestCommands::messageBoxOverItsWindow_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("delay");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus"); // the control that has the focus once the box is closed

    QTest::addRow("no address") << QByteArray() << QByteArray("5") << "Need IP Address" << "IPAddress";
    QTest::addRow("no delay") << QByteArray("192.168.0.20") << QByteArray()
                              << "Need delay factor 0 - 48 or check Tolvane Default" << "Text9";
}

void TestCommands::messageBoxOverItsWindow()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, delay);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    Form1 &w = startWindow(address, delay);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Extract->setFocus();
    installMessageBoxSink(&w);
    QPointer<QMessageBox> shown;
    QWidget *parent = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || shown)
            return;
        shown = box;
        parent = box->parentWidget();
        modality = box->windowModality();
        format = box->textFormat();
        QVERIFY(box->text() == text);
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);

    QTest::mouseClick(w.GetGuide, Qt::LeftButton);
    setUserMessageSink([this](const QString &told) { m_f->messages.messages << told; });

    QVERIFY(shown.isNull()); // closed and gone
    QCOMPARE(parent, &w);
    QCOMPARE(modality, Qt::WindowModal);
    QCOMPARE(format, Qt::PlainText);
    QTRY_VERIFY(QApplication::activeWindow() == &w);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
