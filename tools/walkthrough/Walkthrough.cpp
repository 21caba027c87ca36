#include "Walkthrough.h"

#include "common/NumberMask.h"
#include "common/TextCodec.h"
#include "log/Form2.h"
#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"
#include "progress/ProgressStrip.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

void out(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString boxText(const QObject &window, const char *name)
{
    return control<QLineEdit>(window, name)->text();
}

} // namespace

QString Walkthrough::quoted(const QString &text)
{
    return u'"' + text + u'"';
}

Walkthrough::Walkthrough(QString scratchDir)
    : m_dir(std::move(scratchDir))
{
}

void Walkthrough::step(const QString &what)
{
    out(QString());
    out(QStringLiteral("Step %1: %2").arg(++m_step).arg(what));
}

void Walkthrough::show(const QString &what)
{
    out(QStringLiteral("    ") + what);
}

void Walkthrough::screenshot(QWidget *widget, const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = QDir(m_dir).filePath(name);
    if (widget->grab().save(path)) {
        m_screenshots << path;
        show(QStringLiteral("Screenshot: ") + path);
    } else {
        show(QStringLiteral("Screenshot could not be saved: ") + path);
    }
}

void Walkthrough::screenshotScreen(const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = QDir(m_dir).filePath(name);
    QScreen *screen = QGuiApplication::primaryScreen();
    // Not every platform can grab what the screen shows.
    if (screen && screen->grabWindow(0).save(path)) {
        m_screenshots << path;
        show(QStringLiteral("Screenshot of the whole screen: ") + path);
    } else {
        show(QStringLiteral("The screen could not be grabbed for ") + path);
    }
}

void Walkthrough::printCounters(const Form1 &w)
{
    show(QStringLiteral("Date List Created: %1   Files Available: %2   Tagged for Download: %3")
             .arg(quoted(boxText(w, "Text1")), quoted(boxText(w, "Text2")), quoted(boxText(w, "Text5"))));
    show(QStringLiteral("Total  Download  Left: %1   This File Left: %2")
             .arg(quoted(boxText(w, "Text6")), quoted(boxText(w, "Text8"))));
    show(QStringLiteral("Status: %1   ReplayTV file: %2   Saving As: %3")
             .arg(quoted(boxText(w, "Text3")), quoted(boxText(w, "Text4")), quoted(boxText(w, "Text7"))));
}

void Walkthrough::printRows(const Form1 &w)
{
    const QListWidget *list = control<QListWidget>(w, "List1");
    show(QStringLiteral("The list holds %1 rows:").arg(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem *item = list->item(i);
        const bool greyed = item->foreground().color() == list->palette().color(QPalette::Disabled, QPalette::Text);
        const SavedRecording *saved = w.savedRecording(i);
        const bool gone = saved && !QFileInfo(saved->path).isFile();
        show(QStringLiteral("%1 [%2] %3%4%5%6")
                 .arg(i + 1, 2)
                 .arg(item->checkState() == Qt::Checked ? QStringLiteral("x") : QStringLiteral(" "), item->text(),
                      saved && !item->icon().isNull() ? QStringLiteral("  <- saved mark") : QString(),
                      greyed ? QStringLiteral(", greyed") : QString(),
                      gone ? QStringLiteral(" (the saved file is gone)") : QString()));
    }
}

void Walkthrough::tickAndMeasure(Form1 &w, const QList<int> &rows)
{
    QListWidget *list = control<QListWidget>(w, "List1");
    for (int row : rows) {
        if (QListWidgetItem *item = list->item(row))
            item->setCheckState(Qt::Checked);
    }
    // A click on the list measures every ticked recording.
    QListWidgetItem *first = list->item(rows.first());
    if (!first)
        return;
    list->scrollToItem(first);
    const QRect rect = list->visualItemRect(first);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void Walkthrough::extractWatching(Form1 &w)
{
    // The session runs inside the button's click; a timer reports what the
    // window shows meanwhile.
    const ProgressStrip *strip = control<ProgressStrip>(w, "ProgressStrip");
    QString last;
    bool shotTaken = false;
    QTimer watcher;
    watcher.setInterval(500);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const QString now = QStringLiteral("%1 | %2 | left %3 of %4 | tagged %5 | %6")
                                .arg(boxText(w, "Text3"), boxText(w, "Text7"), boxText(w, "Text8"), boxText(w, "Text6"),
                                     boxText(w, "Text5"), strip->text());
        if (now != last) {
            show(now);
            last = now;
        }
        if (!shotTaken && strip->percent() >= 40 && strip->percent() < 100) {
            shotTaken = true;
            screenshot(&w, QStringLiteral("3-during-download.png"));
        }
    });
    watcher.start();
    QTest::mouseClick(control<QPushButton>(w, "Extract"), Qt::LeftButton);
    watcher.stop();
}

void Walkthrough::viewLog(Form1 &w)
{
    QTest::mouseClick(control<QPushButton>(w, "LogView"), Qt::LeftButton);
    Form2 *viewer = w.logViewer();
    if (!viewer) {
        show(QStringLiteral("The log viewer did not open."));
        return;
    }
    auto *rows = viewer->findChild<QAbstractItemView *>(QStringLiteral("Log_List"));
    show(QStringLiteral("Window %1 shows %2 rows.")
             .arg(quoted(viewer->windowTitle()))
             .arg(rows && rows->model() ? rows->model()->rowCount() : 0));
    screenshot(viewer, QStringLiteral("5-log-viewer.png"));
}

int Walkthrough::listSaved(const Form1 &w)
{
    QStringList recorderNames;
    for (int i = 0; i < w.TitleCount; ++i)
        recorderNames << w.FileNames[std::size_t(i)];
    // Returns how many were saved under their final names.
    const auto list = [&](const QString &folder) {
        const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.mpg")}, QDir::Files, QDir::Name);
        show(QStringLiteral("In %1: %2 .mpg file(s)").arg(folder).arg(files.size()));
        int renamed = 0;
        for (const QFileInfo &file : files) {
            const bool done = !recorderNames.contains(file.fileName());
            renamed += done ? 1 : 0;
            show(QStringLiteral("  %1  %2 bytes%3")
                     .arg(file.fileName())
                     .arg(groupedWholeNumber(double(file.size())))
                     .arg(done ? QString() : QStringLiteral("  (not finished: still under the recorder's name)")));
        }
        return renamed;
    };
    show(QStringLiteral("The window saves into %1").arg(quoted(w.SaveFolder)));
    // Only the chosen folder counts: a recording left in the working folder was not moved.
    const int saved = list(m_saveFolder.isEmpty() ? m_dir : m_saveFolder);
    if (!m_saveFolder.isEmpty())
        list(m_dir);
    return saved;
}

void Walkthrough::printFile(const QString &fileName)
{
    QFile file(QDir(m_dir).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        show(fileName + QStringLiteral(" could not be read."));
        return;
    }
    for (const QString &line : splitLines(decodeText(file.readAll())))
        show(QStringLiteral("| ") + QString(line).replace(u'\t', QStringLiteral(" <TAB> ")));
}

int Walkthrough::firstPass()
{
    Form1 w;
    w.Form_Load();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        out(QStringLiteral("The window did not appear on the display."));

    step(QStringLiteral("Type the recorder's address 192.168.0.20 in \"IP Address\""));
    QTest::keyClicks(control<QLineEdit>(w, "IPAddress"), QStringLiteral("192.168.0.20"));
    step(QStringLiteral("Type the delay 5 in \"Delay\" (the box filled itself with \"Default\")"));
    control<QLineEdit>(w, "Text9")->selectAll();
    QTest::keyClicks(control<QLineEdit>(w, "Text9"), QStringLiteral("5"));
    show(QStringLiteral("Delay box: %1, \"Use Tolvane Default Delay\" %2")
             .arg(quoted(boxText(w, "Text9")), control<QCheckBox>(w, "Check1")->isChecked() ? "ticked" : "unticked"));

    step(QStringLiteral("Press \"Set Mpeg Path\" and choose the folder Archive"));
    chooseSaveFolder(w);

    step(QStringLiteral("Press \"Get Guide\""));
    QTest::mouseClick(control<QPushButton>(w, "GetGuide"), Qt::LeftButton);
    printRows(w);
    printCounters(w);
    screenshot(&w, QStringLiteral("1-guide.png"));

    step(QStringLiteral("Tick rows 1, 3 and 5 and click the list to measure them"));
    const QList<int> ticked{0, 2, 4};
    tickAndMeasure(w, ticked);
    printCounters(w);
    screenshot(&w, QStringLiteral("2-tagged.png"));

    step(QStringLiteral("Press \"Extract Mpeg(s)\" and wait for \"Session End\""));
    extractWatching(w);
    printCounters(w);
    screenshot(&w, QStringLiteral("4-after-session.png"));
    // The session unticks each title it saved.
    const auto *list = control<QListWidget>(w, "List1");
    for (int row : ticked) {
        if (list->item(row) && list->item(row)->checkState() == Qt::Unchecked)
            m_savedRecorderNames << w.FileNames[std::size_t(row)];
    }

    step(QStringLiteral("Press \"View Log\""));
    viewLog(w);

    step(QStringLiteral("The saved recordings: in the save folder, none left in the working folder"));
    const int saved = listSaved(w);

    step(QStringLiteral("The record of saved recordings, SavedRecordings.txt"));
    printFile(QStringLiteral("SavedRecordings.txt"));

    step(QStringLiteral("The log, Kelvado.LOG"));
    printFile(QStringLiteral("Kelvado.LOG"));

    step(QStringLiteral("Close the window"));
    w.close();
    return saved;
}

Walkthrough::Outcome Walkthrough::run()
{
    out(QStringLiteral("Kelvado walkthrough in %1").arg(m_dir));
    Outcome outcome;
    outcome.saved = firstPass();
    outcome.secondPassRight = secondPass();

    out(QString());
    out(QStringLiteral("Screenshots:"));
    for (const QString &shot : std::as_const(m_screenshots))
        out(QStringLiteral("    ") + shot);
    return outcome;
}
