// The main window driven end to end as an outside driver drives it, against
// the simulated recorder: start-up, the settings, Get Guide and tagging, and
// the window's commands.
#include "WindowDriver.h"

#include "archive/DiskSpace.h"
#include "archive/FolderProbe.h"
#include "common/Contrast.h"
#include "fixity/Sha256.h"
#include "mainwindow/MessageBox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSemaphore>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QToolTip>

using namespace sessiontest;

namespace {

QByteArray settingsFile(const char *address, const char *delay)
{
    return QByteArray("\"") + address + "\",\"" + delay + "\"\r\n";
}

// One of the program's windows, by name, while it shows.
QWidget *windowShown(const char *name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return window;
    }
    return nullptr;
}

QList<Recording> catalog()
{
    return {{"Alpha", "1000000001.mpg", 1234567, "01/01/2001", "High"},
            {"Bravo", "1000000002.mpg", 2000000, "02/02/2002", "Medium", "21:00:00", 5},
            {"Charlie", "1000000003.mpg", 120000000000, "03/03/2003", "Standard", "22:00:00", 120}};
}

QString listRow(const QString &title, const QString &quality, const char *minutes, const QString &date)
{
    return title.leftJustified(58) + quality.leftJustified(14) + minutes + QString(9, u' ') + date;
}

// The words shown when the pointer rests on a row of the list.
QString rowToolTip(const Form1 &w, int row)
{
    const auto *list = control<QListWidget>(w, "List1");
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QHelpEvent rest(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &rest);
    return shownTip(QToolTip::text());
}


// Takes the addresses handed to the desktop instead of opening them.
class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { urls << url; }

public:
    QList<QUrl> urls;
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_d = std::make_unique<WindowDriver>(); }
    void cleanup() { m_d.reset(); }

    void startUp_data();
    void startUp();
    void settings_data();
    void settings();
    void settingsNotWritableToldOnce();
    void getGuideRefused_data();
    void getGuideRefused();
    void guideAndTagging();
    void viewLogAndAbout();
    void setMpegPath_data();
    void setMpegPath();
    void savedMarksAndTickingMany();
    void verifySavedRecordings();
    void exitAndClose_data();
    void exitAndClose();

private:
    std::unique_ptr<WindowDriver> m_d;
};

void TestWindow::startUp_data()
{
    QTest::addColumn<QByteArray>("stored"); // the settings file; none when null
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("dark"); // the desktop's palette

    QTest::addRow("first start") << QByteArray() << "" << "" << false << false;
    QTest::addRow("address and delay") << settingsFile("10.0.0.5", "7") << "10.0.0.5" << "7" << false << false;
    QTest::addRow("default delay") << settingsFile("10.0.0.5", "Default") << "10.0.0.5" << "Default" << true << false;
    QTest::addRow("dark palette") << QByteArray() << "" << "" << false << true;
}

void TestWindow::startUp()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, address);
    QFETCH(QString, delay);
    QFETCH(bool, ticked);
    QFETCH(bool, dark);
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
    if (dark)
        QApplication::setPalette(QPalette(QColor(53, 53, 53), QColor(53, 53, 53)));
    if (!stored.isNull())
        writeFile("RPTVIP.dat", stored);
    // Guide files of an earlier run, in any letter case, would be read as this run's guide.
    for (const char *stale : {"Guide.txt", "guide.TXT", "GUIDE.DAT", "Guide.dat"})
        writeFile(stale, "Show #1\r\n");
    writeFile("Guide.txt.bak", "kept");

    Form1 &w = m_d->start();

    QCOMPARE(m_d->texts({"IPAddress", "Text9"}), (QStringList{address, delay}));
    QCOMPARE(control<QCheckBox>(w, "Check1")->isChecked(), ticked);
    QCOMPARE(workingDirEntries(), QStringList({"Guide.txt.bak", "Kelvado.LOG"})
                                      + (stored.isNull() ? QStringList() : QStringList{"RPTVIP.dat"}));
    QCOMPARE(readFile("RPTVIP.dat"), stored);
    const QStringList header{" - - - - - - - - - - - - - - - - - - -",
                             "New Kelvado Log V. 1.5  Started   -  mm-dd-yyyy"};
    QCOMPARE(sessionLog(), header);
    QCOMPARE(w.windowTitle(), QStringLiteral("Kelvado  "));
    QCOMPARE(m_d->texts({"Text1", "Text2", "Text5", "Text6", "Text8", "Text3", "Text4", "Text7"}),
             (QStringList{"", "", "0", "", "", "", "", ""}));
    QCOMPARE(m_d->rows(), QStringList());
    QCOMPARE(m_d->told.messages, QStringList());
    // The banner keeps its ground and is readable on it; the title bar is on the screen.
    const QPalette banner = control<QWidget>(w, "Label1")->palette();
    QCOMPARE(banner.color(QPalette::Window), QApplication::palette().color(QPalette::HighlightedText));
    QVERIFY(contrastRatio(banner.windowText().color().rgb(), banner.window().color().rgb()) >= 4.5);
    QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry().topLeft()));

    // The Tab key walks the controls in the window's order, each named for a screen reader.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    control<QWidget>(w, "Text8")->setFocus();
    QStringList walked;
    for (int step = 0; step < 18; ++step) {
        walked << QApplication::focusWidget()->objectName() + ": " + spokenName(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked.join(" | "),
             "Text8: This File Left | Check1: Use Tolvane Default Delay | IPAddress: IP Address | Text9: Delay | "
             "List1: Recordings on the recorder | Text1: Date List Created | Text2: Files Available | Text5: Tagged "
             "for Download | Text6: Total  Download  Left | Text3: Status | Text4: ReplayTV File Name | Text7: Saving "
             "As | GetPath: Set Mpeg Path | LogView: View Log | GetGuide: Get Guide | Extract: Extract Mpeg(s) | "
             "Quit: Exit | Text8: This File Left");

    // The next start finds the log: the creation header is not written again.
    m_d->start();
    QCOMPARE(sessionLog(), header);
    QCOMPARE(m_d->texts({"IPAddress", "Text9"}), (QStringList{address, delay}));
}

void TestWindow::settings_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("into");     // the control changed
    QTest::addColumn<QString>("keys");     // typed over the box's text; the check box is clicked
    QTest::addColumn<QByteArray>("saved"); // null: the file is not written
    QTest::addColumn<QString>("delayShown");
    QTest::addColumn<bool>("ticked");

    const QByteArray byDefault = settingsFile("10.0.0.5", "Default");
    const QByteArray seven = settingsFile("10.0.0.5", "7");
    QTest::addRow("address typed on a first start") << QByteArray() << "IPAddress" << "10.0.0.5" << byDefault
                                                    << "Default" << true;
    QTest::addRow("address changed") << seven << "IPAddress" << "10.0.0.9" << settingsFile("10.0.0.9", "7") << "7"
                                     << false;
    QTest::addRow("delay typed") << byDefault << "Text9" << "12" << settingsFile("10.0.0.5", "12") << "12" << false;
    QTest::addRow("trailing blanks not saved") << seven << "Text9" << " 5  " << settingsFile("10.0.0.5", " 5")
                                               << " 5  " << false;
    QTest::addRow("delay erased") << byDefault << "Text9" << "" << byDefault << "" << false;
    QTest::addRow("address erased") << seven << "IPAddress" << "" << QByteArray() << "7" << false;
    QTest::addRow("Default ticked") << seven << "Check1" << "" << byDefault << "Default" << true;
    QTest::addRow("Default unticked") << byDefault << "Check1" << "" << QByteArray() << "Default" << false;
}

void TestWindow::settings()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, into);
    QFETCH(QString, keys);
    QFETCH(QByteArray, saved);
    QFETCH(QString, delayShown);
    QFETCH(bool, ticked);
    if (!stored.isNull())
        writeFile("RPTVIP.dat", stored);
    Form1 &w = m_d->start();
    QFile::remove("RPTVIP.dat"); // only what the change writes is there

    if (into == "Check1")
        m_d->click("Check1");
    else
        m_d->type(qPrintable(into), keys);

    QCOMPARE(QFile::exists("RPTVIP.dat"), !saved.isNull());
    QCOMPARE(readFile("RPTVIP.dat"), saved);
    QCOMPARE(m_d->text("Text9"), delayShown);
    QCOMPARE(control<QCheckBox>(w, "Check1")->isChecked(), ticked);
    QCOMPARE(m_d->told.messages, QStringList());
}

void TestWindow::settingsNotWritableToldOnce()
{
    QVERIFY(QDir().mkdir("RPTVIP.dat")); // a folder in its place: every save fails
    m_d->start();
    m_d->type("IPAddress", "10.0.0.5");
    m_d->type("Text9", "7");
    QCOMPARE(m_d->told.messages.size(), 1);
    const QString told = m_d->told.messages.first();
    QVERIFY2(told.startsWith("The settings could not be saved to RPTVIP.dat"), qPrintable(told));
    QVERIFY2(told.endsWith("\nThe settings stay in use until Kelvado ends, but will not be remembered."),
             qPrintable(told));
}

void TestWindow::getGuideRefused_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("focus"); // where the user is sent to fill in what is missing

    QTest::addRow("no address") << settingsFile("", "5") << "Need IP Address" << "IPAddress";
    QTest::addRow("no delay") << settingsFile("10.0.0.5", "") << "Need delay factor 0 - 48 or check Tolvane Default"
                              << "Text9";
}

void TestWindow::getGuideRefused()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, told);
    QFETCH(QString, focus);
    writeFile("RPTVIP.dat", stored);
    Form1 &w = m_d->start();

    m_d->click("GetGuide");

    QCOMPARE(m_d->told.messages, QStringList{told});
    QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), focus);
    QCOMPARE(m_d->recorder.journal(), QStringList());
    QCOMPARE(m_d->rows(), QStringList());
    QCOMPARE(m_d->texts({"Text1", "Text2", "Text3"}), (QStringList{"", "", ""}));

    // The box itself leaves its title bar room for "Kelvado" beside an icon and three buttons.
    int width = 0;
    QTimer::singleShot(0, [&width] { width = QApplication::activeModalWidget()->width(); });
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    showMessageBox(told);
    QVERIFY2(width >= w.fontMetrics().horizontalAdvance("Kelvado")
                          + 4 * w.style()->pixelMetric(QStyle::PM_TitleBarHeight),
             qPrintable(QString::number(width)));
}

void TestWindow::guideAndTagging()
{
    m_d->recorder.setCatalog(catalog());
    writeFile("RPTVIP.dat", settingsFile("10.0.0.5", "Default"));
    Form1 &w = m_d->start();

    // A Get Guide that fails leaves the window as it was, to be tried again.
    qputenv("SIMREC_GUIDE_FILE", "missing");
    m_d->click("GetGuide");
    qunsetenv("SIMREC_GUIDE_FILE");
    QCOMPARE(m_d->texts({"Text1", "Text3"}), (QStringList{"", " "}));
    m_d->told.messages.clear();
    m_d->recorder.clearJournal();

    m_d->click("GetGuide");
    QCOMPARE(m_d->recorder.journal(), (QStringList{"Tolvane 10.0.0.5 -g", "Tamrick guide"}));
    QCOMPARE(m_d->rows(), (QStringList{listRow("Alpha", "High", "060", "01/01/2001"),
                                       listRow("Bravo", "Medium", "005", "02/02/2002"),
                                       listRow("Charlie", "Standard", "120", "03/03/2003")}));
    QCOMPARE(m_d->tickedRows(), QList<int>());
    const QString created = m_d->text("Text1");
    QVERIFY2(QRegularExpression("^\\d\\d-\\d\\d-\\d{4}$").match(created).hasMatch(), qPrintable(created));
    QCOMPARE(m_d->texts({"Text2", "Text3", "Text5", "Text6"}), (QStringList{" 3", " ", "0", ""}));
    QCOMPARE(rowToolTip(w, 1), QStringLiteral("ReplayTV file: 1000000002.mpg\nSize: not measured yet (tick the row, "
                                              "then click the list)\nWould be saved as: Bravo_02 02 2002.mpg"));

    // A tick alone measures nothing; a click on the list measures every ticked row.
    m_d->recorder.clearJournal();
    m_d->tick({0, 2});
    QCOMPARE(m_d->recorder.journal(), QStringList());
    m_d->clickRow(1);
    QCOMPARE(m_d->recorder.journal(), (QStringList{"Tamrick 1000000001.mpg", "Tamrick 1000000003.mpg"}));
    QCOMPARE(m_d->tickedRows(), (QList<int>{0, 2}));
    QCOMPARE(m_d->texts({"Text5", "Text6"}), (QStringList{"2", grouped("120,001,234,567")}));
    QCOMPARE(rowToolTip(w, 0), "ReplayTV file: 1000000001.mpg\nSize: " + grouped("1,234,567")
                                   + " bytes\nWould be saved as: Alpha_01 01 2001.mpg");
    // A total of 120 GB is shown whole, and in full in the tooltip.
    const auto *total = control<QLineEdit>(w, "Text6");
    QVERIFY(total->fontMetrics().horizontalAdvance(total->text()) < total->width() - 8);
    QCOMPARE(shownTip(total->toolTip()), total->text() + " bytes");

    m_d->tick({0}, false);
    m_d->clickRow(0);
    QCOMPARE(m_d->texts({"Text5", "Text6"}), (QStringList{"1", grouped("120,000,000,000")}));

    // The guide is fetched once per run.
    m_d->recorder.clearJournal();
    m_d->click("GetGuide");
    QCOMPARE(m_d->recorder.journal(), QStringList());
    QCOMPARE(m_d->rows().size(), 3);
    QCOMPARE(m_d->told.messages, QStringList());
}

void TestWindow::viewLogAndAbout()
{
    writeFile("Kelvado.LOG", "earlier run\r\n \r\nEnd of Download Session \r\n");
    Form1 &w = m_d->start();

    m_d->click("LogView");
    QWidget *viewer = windowShown("Form2");
    QVERIFY(viewer);
    const QAbstractItemModel *lines = control<QAbstractItemView>(*viewer, "Log_List")->model();
    QTRY_COMPARE(lines->rowCount(), 4);
    QStringList shown;
    for (int row = 0; row < lines->rowCount(); ++row)
        shown << lines->index(row, 0).data().toString();
    QCOMPARE(shown, (QStringList{"Log_List", "earlier run", " ", "End of Download Session "}));

    control<QAction>(w, "mnuAbout")->trigger();
    QWidget *about = windowShown("frmAbout");
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Kelvado"));
    QTest::mouseClick(control<QAbstractButton>(*about, "cmdOK"), Qt::LeftButton);
    QVERIFY(!windowShown("frmAbout") && windowShown("Form2") && windowShown("Form1"));
    QCOMPARE(m_d->told.messages, QStringList());
}

void TestWindow::setMpegPath_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::addRow("button") << false;
    QTest::addRow("Escape") << true;
}

void TestWindow::setMpegPath()
{
    QFETCH(bool, byEscape);
    // Long folder names, one with markup in it.
    const QString deep = QDir::current().absoluteFilePath("scratch/" + QString(60, u'w'));
    QVERIFY(QDir().mkpath(deep) && QDir::setCurrent(deep));
    writeFile("RPTVIP.dat", settingsFile("10.0.0.5", "7"));
    const QString folderName = QString(80, u'x') + "<img src=y>";
    QDir().mkdir(folderName);
    const QString archive = QDir::current().absoluteFilePath(folderName);
    // The choice holds across runs; choosing the working folder again leaves no file of its own.
    for (const QString &choice : {archive, QDir::currentPath()}) {
        Form1 &w = m_d->start();
        const QString current = choice == archive ? QDir::currentPath() : archive;
        QVERIFY(shownTip(control<QLineEdit>(w, "Text7")->toolTip()).endsWith("\nSaved in: " + current));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        byEscape ? QTest::keyClick(&w, Qt::Key_Escape) : m_d->click("GetPath");
        QFileDialog *chooser = nullptr;
        QTRY_VERIFY((chooser = w.findChild<QFileDialog *>("SaveFolderChooser")) && chooser->isVisible());
        QCOMPARE(chooser->directory().absolutePath(), current);
        chooser->setDirectory(choice);
        static_cast<QDialog *>(chooser)->accept(); // as its OK button does
        QCOMPARE(w.SaveFolder, choice == archive ? archive : QString());
        QCOMPARE(readFile("SaveFolder.txt"), choice == archive ? QFile::encodeName(archive) + '\n' : QByteArray());
        QCOMPARE(readFile("RPTVIP.dat"), settingsFile("10.0.0.5", "7"));
        // The strip shortens the paths, never its words, and shows the names as they are.
        auto *strip = control<QLabel>(w, "WorkingFolder");
        const QString shown = spokenName(strip);
        const QString end = choice == archive ? "    Recordings saved in: .+x<img src=y>" : "w{20}";
        QVERIFY2(QRegularExpression("^Working folder: .+" + end + '$').match(shown).hasMatch(), qPrintable(shown));
        QVERIFY(shownTip(strip->toolTip()).endsWith(choice == archive ? "are saved in " + archive : deep));
    }
    QCOMPARE(workingDirEntries(), (QStringList{"Kelvado.LOG", "RPTVIP.dat", folderName}));
    QCOMPARE(m_d->told.messages, QStringList());
}

void TestWindow::savedMarksAndTickingMany()
{
    m_d->recorder.setCatalog(catalog());
    writeFile("RPTVIP.dat", settingsFile("10.0.0.5", "Default"));
    Form1 *w = &m_d->start();
    m_d->click("GetGuide");
    // An earlier run saved Alpha, still there (its path begun with "//"), and
    // Bravo, deleted since; a path that is not absolute names no saved file.
    QDir().mkdir("archive");
    const QString alpha = '/' + QDir::current().absoluteFilePath("archive/Alpha_01 01 2001.mpg");
    writeFile(alpha, "alpha");
    for (const std::size_t row : {0, 1, 2})
        QVERIFY(SavedRecords::note({w->FileNames[row], w->Titles[row], w->RecordDates[row],
                                    "2026-12-01T20:15:00", QStringList{alpha, alpha + ".gone", "Charlie.mpg"}[row]}));
    const QStringList rows = m_d->rows();
    w = &m_d->start();
    m_d->click("GetGuide");
    auto *list = control<QListWidget>(*w, "List1");
    QCOMPARE(m_d->rows(), rows);
    // Saved rows dimmed, yet readable; each kind of row with its own mark.
    const QColor dimmed = list->item(0)->foreground().color(), ground = list->palette().color(QPalette::Base);
    QVERIFY(list->item(1)->foreground() == dimmed && list->item(2)->foreground() != dimmed
            && contrastRatio(dimmed.rgb(), ground.rgb()) >= 4.5);
    QCOMPARE(QSet<qint64>({list->item(0)->icon().cacheKey(), list->item(1)->icon().cacheKey(),
                           list->item(2)->icon().cacheKey()}).size(), 3);
    QVERIFY(rowToolTip(*w, 0).endsWith("\nSaved 2026-12-01 20:15 as " + alpha + "\nThe file is still there."));
    QVERIFY(rowToolTip(*w, 1).endsWith(".gone\nThe file is no longer there."));
    // A screen reader hears each row's text, its tick and its mark.
    list->item(2)->setCheckState(Qt::Checked);
    QStringList heard;
    for (int row = 0; row < 3; ++row) {
        QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(list)->child(row);
        heard << cell->text(QAccessible::Name) + (cell->state().checked ? " [ticked]" : "");
    }
    QCOMPARE(heard, (QStringList{rows[0] + ", saved", rows[1] + ", saved; the saved file is no longer there",
                                 rows[2] + " [ticked]"}));
    // The mark shows on the selection as well.
    list->setCurrentRow(0);
    const QRect mark = list->visualItemRect(list->item(0)).adjusted(list->viewport()->width() - 60, 0, 0, 0);
    const QImage drawn = list->viewport()->grab(mark).toImage();
    int marked = 0;
    for (int i = 0; i < drawn.width() * drawn.height(); ++i) // pixels that stand out from the selection
        marked += contrastRatio(drawn.pixel(i % drawn.width(), i / drawn.width()), drawn.pixel(2, 2)) >= 3;
    QVERIFY2(marked >= 10, qPrintable(QString::number(marked)));

    // Each way of ticking many rows measures as a click on the list does.
    const struct
    {
        QKeyCombination key;
        QList<int> ticked;
        const char *tagged, *bytes;
    } steps[] = {{Qt::CTRL | Qt::Key_N, {2}, "1", "120,000,000,000"},
                 {Qt::CTRL | Qt::Key_A, {0, 1, 2}, "3", "120,003,234,567"},
                 {Qt::CTRL | Qt::Key_U, {}, "0", ""},
                 {QKeyCombination(Qt::Key_Space), {1}, "1", "2,000,000"}};
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    list->setFocus();
    list->setCurrentRow(1);
    for (const auto &step : steps) {
        m_d->recorder.clearJournal();
        QTest::keyClick(list, step.key.key(), step.key.keyboardModifiers());
        QCOMPARE(m_d->tickedRows(), step.ticked);
        QCOMPARE(m_d->texts({"Text5", "Text6"}), (QStringList{step.tagged, grouped(step.bytes)}));
        QStringList measured;
        for (int row : step.ticked)
            measured << "Tamrick " + w->FileNames[std::size_t(row)];
        QCOMPARE(m_d->recorder.journal(), measured);
    }

    // The menu opens a saved row's folder through the desktop.
    UrlCatcher opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    for (const int row : {2, 0}) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &click);
        QTRY_VERIFY(control<QMenu>(*w, "mnuList")->isVisible());
        QCOMPARE(control<QAction>(*w, "mnuOpenFolder")->isEnabled(), row == 0);
        control<QMenu>(*w, "mnuList")->close();
    }
    control<QAction>(*w, "mnuOpenFolder")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QDir::current().absoluteFilePath("archive"))});

    // Short of room, the session asks first; No starts nothing.
    setDiskProbe([](const QString &) { return DiskState{true, 1, 1000, {}, 1}; });
    m_d->recorder.clearJournal();
    m_d->click("Extract");
    setDiskProbe({});
    QCOMPARE(m_d->told.questions, QStringList{"The tagged recordings may not fit:\n\nWorking folder ("
                                              + QDir::currentPath()
                                              + "): 2.0 MB needed, 1.0 kB free.\n\nStart the downloads anyway?"});
    QCOMPARE(m_d->recorder.journal(), QStringList());
    QCOMPARE(m_d->texts({"Text3", "Text5"}), (QStringList{" ", "1"}));
    QCOMPARE(m_d->told.messages, QStringList());

    // The save folder stops answering: start-up does not look; marks, menu and room call it not available.
    auto gate = std::make_shared<QSemaphore>();
    auto looks = std::make_shared<QAtomicInt>();
    FolderProbe::setLookHook([gate, looks](const QString &folder) {
        if (folder.endsWith("/archive") && looks->ref()) // true: counted from 0 up
            gate->acquire();
    });
    const auto answerAgain = qScopeGuard([gate] { FolderProbe::setLookHook({}); gate->release(100); });
    writeFile("SaveFolder.txt", QFile::encodeName(QDir::current().absoluteFilePath("archive")) + '\n');
    w = &m_d->start();
    QCOMPARE(looks->loadAcquire(), 0);
    m_d->click("GetGuide");
    list = control<QListWidget>(*w, "List1");
    QCOMPARE(list->item(0)->icon().cacheKey(), list->item(1)->icon().cacheKey());
    QVERIFY(rowToolTip(*w, 0).endsWith(alpha + "\nIts folder does not answer."));
    emit list->customContextMenuRequested(list->visualItemRect(list->item(0)).center());
    QVERIFY(!control<QAction>(*w, "mnuOpenFolder")->isEnabled());
    const QString archive = QDir::current().absoluteFilePath("archive");
    QCOMPARE(sessionRoomShortfall(1, 1, archive), "Save folder (" + archive + "): cannot be reached: it does not answer.");
}

void TestWindow::verifySavedRecordings()
{
    m_d->recorder.setCatalog(catalog());
    writeFile("RPTVIP.dat", settingsFile("10.0.0.5", "Default"));
    Form1 *w = &m_d->start();
    m_d->click("GetGuide");
    // Bravo saved as it still is, Alpha changed since, then Charlie: a file long to read.
    const QString here = QDir::currentPath() + '/';
    const QStringList files{here + "Alpha.mpg", here + "Bravo.mpg", here + "Charlie.mpg"};
    writeFile(files[0], "alpha");
    writeFile(files[1], "bravo");
    writeFile(files[2], {});
    QVERIFY(QFile::resize(files[2], qint64(1) << 40)); // a hole: no room taken
    for (const std::size_t row : {1, 0, 2})
        QVERIFY(SavedRecords::note({w->FileNames[row], w->Titles[row], w->RecordDates[row], "2026-12-01T20:15:00",
                                    files[int(row)], row == 2 ? QByteArray(64, '0') : sumFile(files[int(row)]).hex}));
    writeFile(files[0], "alpha!");
    m_d->click("GetGuide");
    auto *verify = control<QAction>(*w, "mnuVerifySaved");
    verify->trigger();
    QCOMPARE(verify->text(), "Stop Verifying");
    QTRY_VERIFY(
        rowToolTip(*w, 0).endsWith(files[0] + "\nThe file is still there.\nThe file has changed since it was saved"));
    QVERIFY(control<QWidget>(*w, "TitleProgress")->isVisible());
    verify->trigger(); // stops it while it reads Charlie
    const QString changed = files[0] + ": The file has changed since it was saved";
    QTRY_COMPARE(m_d->told.messages,
                 QStringList{"Verifying was stopped. So far: 1 ok, 1 changed, 0 missing, 0 unchecked.\n\n" + changed});
    QCOMPARE(verify->text(), "Verify Saved Recordings");
    QVERIFY(!control<QWidget>(*w, "TitleProgress")->isVisible());
    // Run to its end: a changed file has the mark of a deleted one.
    QVERIFY(QFile::remove(files[2]));
    verify->trigger();
    QTRY_COMPARE(m_d->told.messages.size(), 2);
    QCOMPARE(m_d->told.messages[1], "Saved recordings verified: 1 ok, 1 changed, 1 missing, 0 unchecked.\n\n" + changed
                                        + '\n' + files[2] + ": No such file or directory");
    auto *list = control<QListWidget>(*w, "List1");
    QCOMPARE(list->item(0)->icon().cacheKey(), list->item(2)->icon().cacheKey());
    QVERIFY(list->item(0)->icon().cacheKey() != list->item(1)->icon().cacheKey());
}

void TestWindow::exitAndClose_data()
{
    QTest::addColumn<bool>("byExit"); // else the window's close box
    QTest::addColumn<QStringList>("filesAfter");

    QTest::addRow("Exit") << true << QStringList{"Kelvado.LOG", "RPTVIP.dat"};
    // Closing through the frame ends the window without Exit's steps.
    QTest::addRow("close box") << false << QStringList{"GUIDE.DAT", "Guide.txt", "Kelvado.LOG"};
}

void TestWindow::exitAndClose()
{
    QFETCH(bool, byExit);
    QFETCH(QStringList, filesAfter);
    writeFile("RPTVIP.dat", settingsFile("10.0.0.5", "Default"));
    Form1 &w = m_d->start();
    QFile::remove("RPTVIP.dat");
    for (const char *guide : {"Guide.txt", "GUIDE.DAT"})
        writeFile(guide, "guide\r\n");
    const QByteArray log = readFile("Kelvado.LOG");
    m_d->click("LogView");
    control<QAction>(w, "mnuAbout")->trigger();
    QVERIFY(windowShown("Form2") && windowShown("frmAbout"));

    if (byExit)
        m_d->click("Quit");
    else
        QVERIFY(w.close());

    QCOMPARE(m_d->exits, byExit ? 1 : 0);
    QCOMPARE(workingDirEntries(), filesAfter);
    QCOMPARE(readFile("Kelvado.LOG"), byExit ? log + "Program Terminated \r\n \r\n \r\n" : log);
    QCOMPARE(readFile("RPTVIP.dat"), byExit ? settingsFile("10.0.0.5", "Default") : QByteArray());
    if (!byExit) // the viewer and the about dialog go with the window
        QVERIFY(!windowShown("Form1") && !windowShown("Form2") && !windowShown("frmAbout"));
    QCOMPARE(m_d->told.messages, QStringList());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
