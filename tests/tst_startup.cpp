// Start-up in empty and pre-filled working directories, and the main window's
// controls where a user expects them.
#include "mainwindow/Form1.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kSeparator(" - - - - - - - - - - - - - - - - - - -");

QByteArray creationHeader()
{
    return kSeparator + "\r\nNew Kelvado Log V. 1.5  Started   -  "
        + QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")).toLatin1() + "\r\n";
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<StartedWindow>(); }
    void cleanup() { m_env.reset(); }

    void emptyDirectory();
    void staleGuideFilesRemoved_data();
    void staleGuideFilesRemoved();
    void existingLogUntouched();
    void storedSettingsLoaded_data();
    void storedSettingsLoaded();
    void logThatCannotBeCreatedIsTold_data();
    void logThatCannotBeCreatedIsTold();
    void controlsInPlace_data();
    void controlsInPlace();
    void windowShape();
    void workingFolderShown();

private:
    Form1 &startWindow();

    std::unique_ptr<StartedWindow> m_env;
};

Form1 &TestStartup::startWindow()
{
    return m_env->start();
}

void TestStartup::emptyDirectory()
{
    Form1 &w = startWindow();
    QCOMPARE(w.IPAddress->text(), QString());
    QCOMPARE(w.Text9->text(), QString());
    QVERIFY(!w.Check1->isChecked());
    QCOMPARE(w.Text5->text(), QStringLiteral("0"));
    QVERIFY(!w.GuideLoaded);
    QVERIFY(!w.DownloadInProgress);
    QCOMPARE(workingDirEntries(), QStringList{QStringLiteral("Kelvado.LOG")});
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), creationHeader());
    QCOMPARE(m_env->captured.messages, QStringList());
}

void TestStartup::staleGuideFilesRemoved_data()
{
    QTest::addColumn<QStringList>("stale");

    QTest::addRow("other letter case") << QStringList{"guide.txt", "GUIDE.DAT"};
    // One left would be read as the next Get Guide's guide.
    QTest::addRow("several letter cases side by side")
        << QStringList{"GUIDE.TXT", "Guide.txt", "guide.txt", "Guide.dat", "guide.DAT"};
}

void TestStartup::staleGuideFilesRemoved()
{
    QFETCH(QStringList, stale);
    for (const QString &name : stale)
        writeFile(name, "Show #1\r\n");
    writeFile(QStringLiteral("Guide.txt.bak"), "keep");
    startWindow();
    QCOMPARE(workingDirEntries(), (QStringList{QStringLiteral("Guide.txt.bak"), QStringLiteral("Kelvado.LOG")}));
    QCOMPARE(m_env->captured.messages, QStringList());
}

void TestStartup::existingLogUntouched()
{
    const QByteArray log = "earlier run\r\n \r\n";
    writeFile(QStringLiteral("Kelvado.LOG"), log);
    startWindow();
    QCOMPARE(readFile(QStringLiteral("Kelvado.LOG")), log);
    // A log in another letter case is the same log.
    QFile::rename(QStringLiteral("Kelvado.LOG"), QStringLiteral("kelvado.log"));
    startWindow();
    QCOMPARE(workingDirEntries(), QStringList{QStringLiteral("kelvado.log")});
}

void TestStartup::storedSettingsLoaded_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QByteArray>("rewritten");

    QTest::addRow("address and delay") << QByteArray("\"10.0.0.5\",\"7\"\r\n") << "10.0.0.5" << "7" << false
                                       << QByteArray("\"10.0.0.5\",\"7\"\r\n");
    QTest::addRow("default delay") << QByteArray("\"10.0.0.5\",\"Default\"\r\n") << "10.0.0.5" << "Default"
                                   << true << QByteArray("\"10.0.0.5\",\"Default\"\r\n");
    QTest::addRow("empty address") << QByteArray("\"\",\"Default\"\r\n") << "" << "Default" << true
                                   << QByteArray("\"\",\"Default\"\r\n");
    QTest::addRow("trailing blanks in fields") << QByteArray("\"10.0.0.5  \",\"7  \"\r\n") << "10.0.0.5  "
                                               << "7  " << false << QByteArray("\"10.0.0.5\",\"7\"\r\n");
    QTest::addRow("unquoted fields") << QByteArray(" 10.0.0.6 , 9 \n") << "10.0.0.6" << "9" << false
                                     << QByteArray("\"10.0.0.6\",\"9\"\r\n");
    QTest::addRow("one field") << QByteArray("\"10.0.0.7\"\r\n") << "10.0.0.7" << "" << false
                               << QByteArray("\"10.0.0.7\",\"Default\"\r\n");
    QTest::addRow("empty file") << QByteArray() << "" << "" << false << QByteArray();
    QTest::addRow("binary") << QByteArray("\x00\xff\xfe\x01,\x80\x00", 7) << QString::fromUtf16(u"\u00ff\u00fe\u0001")
                            << QString::fromUtf16(u"\u20ac") << false
                            << QByteArray("\"\xc3\xbf\xc3\xbe\x01\",\"\xe2\x82\xac\"\r\n");
}

void TestStartup::storedSettingsLoaded()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(bool, ticked);
    QFETCH(QByteArray, rewritten);

    writeFile(QStringLiteral("RPTVIP.dat"), stored);
    Form1 &w = startWindow();
    QCOMPARE(w.IPAddress->text(), address);
    QCOMPARE(w.Text9->text(), delay);
    QCOMPARE(w.Check1->isChecked(), ticked);
    QCOMPARE(readFile(QStringLiteral("RPTVIP.dat")), rewritten);
}

void TestStartup::logThatCannotBeCreatedIsTold_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("told");
    const QString notRegular = QStringLiteral("Kelvado.LOG could not be opened: it is not a regular file");
    QTest::addRow("a folder") << "folder" << notRegular;
    // Neither is written: a FIFO without a reader would hold the start for
    // ever, and a device is no log.
    QTest::addRow("a FIFO") << "fifo" << notRegular;
    QTest::addRow("a link to /dev/zero") << "device" << notRegular;
}

void TestStartup::logThatCannotBeCreatedIsTold()
{
    QFETCH(QString, place);
    QFETCH(QString, told);
    const QByteArray name("Kelvado.LOG");
    if (place == "folder")
        QVERIFY(QDir().mkdir(name));
    else if (place == "fifo")
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    Form1 &w = startWindow();
    QCOMPARE(m_env->captured.messages.size(), 1);
    QVERIFY2(m_env->captured.messages.first().contains(told), qPrintable(m_env->captured.messages.first()));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // What the user had in the log's place is left as it was.
    struct stat st;
    QCOMPARE(::lstat(name.constData(), &st), 0);
    const bool kept = place == "folder" ? S_ISDIR(st.st_mode) : place == "fifo" ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode);
    QVERIFY(kept);
}

void TestStartup::controlsInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");

    QTest::addRow("Quit") << "Quit" << QRect(336, 448, 65, 41) << "Exit" << "Quit program";
    QTest::addRow("Extract") << "Extract" << QRect(188, 448, 65, 41) << "Extract Mpeg(s)"
                             << "Off-load selected Titles";
    QTest::addRow("GetGuide") << "GetGuide" << QRect(114, 448, 65, 41) << "Get Guide" << "Get Guide Info.";
    QTest::addRow("LogView") << "LogView" << QRect(262, 448, 65, 41) << "View Log" << "View Program Log";
    QTest::addRow("GetPath") << "GetPath" << QRect(40, 448, 65, 41) << "Set Mpeg Path"
                             << "Sets Path for saved Mpegs - Future Feature";
    QTest::addRow("Text7") << "Text7" << QRect(504, 432, 289, 21) << "" << "Renamed after download to this name";
    QTest::addRow("Text4") << "Text4" << QRect(600, 400, 193, 21) << "" << "Shows ReplayTV File Name";
    QTest::addRow("List1") << "List1" << QRect(64, 112, 729, 148) << "" << "";
    QTest::addRow("Text5") << "Text5" << QRect(192, 334, 33, 25) << "0" << "";
    QTest::addRow("IPAddress") << "IPAddress" << QRect(104, 24, 105, 24) << ""
                               << "Input your ReplayTV IP Address";
    QTest::addRow("Text9") << "Text9" << QRect(280, 24, 65, 24) << ""
                           << "Warning - See Readme file about 0 delay setting";
    QTest::addRow("Check1") << "Check1" << QRect(152, 56, 201, 24) << "Use Tolvane Default Delay" << "";
    QTest::addRow("Label10") << "Label10" << QRect(232, 25, 41, 19) << "Delay"
                             << "Click on Use Tolvane Default for slower but safe downloading";
    QTest::addRow("Label8") << "Label8" << QRect(8, 56, 73, 17) << "Saving As:" << "";
    QTest::addRow("Label11") << "Label11" << QRect(704, 32, 65, 17) << "Ver. 1.6" << "Version 1.6.0 build 17";
    QTest::addRow("Label6") << "Label6" << QRect(48, 360, 137, 25) << "Total  Download  Left" << "";
    QTest::addRow("Label1") << "Label1" << QRect(208, 8, 441, 49) << "Kelvado" << "";
}

void TestStartup::controlsInPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);

    Form1 &w = startWindow();
    auto *control = w.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), pixels);
    QCOMPARE(control->toolTip(), tooltip);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), caption);
    else if (auto *box = qobject_cast<QLineEdit *>(control))
        QCOMPARE(box->text(), caption);
}

void TestStartup::windowShape()
{
    Form1 &w = startWindow();
    QCOMPARE(w.windowTitle(), QStringLiteral("Kelvado  "));
    QCOMPARE(w.centralWidget()->size(), QSize(865, 518));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.Label3->text().size(), 142);
    QVERIFY(w.Label3->text().startsWith(QStringLiteral("     Show      /      Title")));
    QVERIFY(w.Label3->text().endsWith(QStringLiteral("Quality          Duration       Date Recorded")));
    QCOMPARE(w.IPAddress->parentWidget(), static_cast<QWidget *>(w.Frame2));
    QCOMPARE(w.mnuHelp->title(), QStringLiteral("Help"));
    QCOMPARE(w.mnuAbout->text(), QStringLiteral("About"));
    QVERIFY(w.List1->font().fixedPitch());

    // The tab order the user walks with the Tab key.
    const QList<QWidget *> expected = {w.Text8, w.Check1, w.IPAddress, w.Text9, w.List1, w.Text1,
                                       w.Text2, w.Text5, w.Text6, w.Text3, w.Text4, w.Text7,
                                       w.GetPath, w.LogView, w.GetGuide, w.Extract, w.Quit};
    QList<QWidget *> chain;
    for (QWidget *step = w.Text8; chain.size() < expected.size(); step = step->nextInFocusChain()) {
        if (expected.contains(step))
            chain.append(step);
    }
    QCOMPARE(chain, expected);
}

void TestStartup::workingFolderShown()
{
    Form1 &w = startWindow();
    auto *where = w.findChild<QLabel *>(QStringLiteral("WorkingFolder"));
    QVERIFY(where);
    QVERIFY(w.isAncestorOf(where));
    const QString folder = QDir::toNativeSeparators(QDir(m_env->dir.path()).canonicalPath());
    QVERIFY2(where->text().startsWith(QStringLiteral("Working folder: ")), qPrintable(where->text()));
    QVERIFY2(where->text().endsWith(QDir(folder).dirName()), qPrintable(where->text()));
    QVERIFY2(where->toolTip().endsWith(u' ' + folder), qPrintable(where->toolTip()));
    // On a strip of its own below the controls, which keep their whole area.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(where->isVisible());
    QCOMPARE(w.centralWidget()->size(), QSize(865, 518));
    QVERIFY(where->mapTo(&w, QPoint(0, 0)).y() > w.centralWidget()->geometry().bottom());
    QVERIFY(where->mapTo(&w, QPoint(0, where->height())).y() <= w.height());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
