// The log viewer: the rows it shows, its controls, and how View Log,
// "Close Window" and the frame's close box treat it.
#include "log/Form2.h"
#include "log/LogLines.h"

#include "fixtures/guide/GuideWindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QLabel>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the viewer shows, read through its model as any view would.
QStringList shownRows(const QAbstractItemView *list)
{
    QStringList rows;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        rows << list->model()->index(i, 0).data().toString();
    return rows;
}

} // namespace

class TestLogViewer : public QObject
{
    Q_OBJECT

private slots:
    void viewerRows_data();
    void viewerRows();
    void linesReadInSmallPieces_data();
    void linesReadInSmallPieces();
    void longLogShownWhileRead();
    void windowLayout();
    void reopening_data();
    void reopening();
};

namespace {

void addViewerColumns()
{
    QTest::addColumn<QString>("place"); // what holds the log's name: file, folder, fifo, device, none
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines"); // shown after the list's first row
    QTest::addColumn<QString>("title");
}

void addLogFileRows()
{
    const QString title = QStringLiteral("Log View");
    QTest::addRow("empty log") << "file" << "Kelvado.LOG" << QByteArray("") << QStringList() << title;
    QTest::addRow("termination record") << "file" << "Kelvado.LOG" << QByteArray("Program Terminated \r\n \r\n \r\n")
                                        << QStringList{"Program Terminated ", " ", " "} << title;
    QTest::addRow("name in other letter case, no last line end")
        << "file" << "KELVADO.log" << QByteArray("x  Started: 10:00:00  Delay = 10\r\nlast")
        << QStringList{"x  Started: 10:00:00  Delay = 10", "last"} << title;
    QTest::addRow("every line end") << "file" << "Kelvado.LOG" << QByteArray("one\ntwo\rthree\r\n\r\n\r")
                                    << QStringList{"one", "two", "three", "", ""} << title;
    // Each line decoded by itself: one line's encoding does not spoil another's.
    QTest::addRow("lines in two code pages") << "file" << "Kelvado.LOG" << QByteArray("Caf\xc3\xa9.mpg\r\nCaf\xe9.mpg\r\n")
                                             << QStringList{"Café.mpg", "Café.mpg"} << title;
    // A line of any length costs no more than what a row shows of it.
    QTest::addRow("a line longer than a row shows")
        << "file" << "Kelvado.LOG" << QByteArray("first\r\n") + QByteArray(5000, 'x') + "\r\n" + QByteArray(3999, 'y')
        << QStringList{"first", QString(4000, u'x') + QChar(0x2026), QString(3999, u'y')} << title;
}

} // namespace

void TestLogViewer::viewerRows_data()
{
    addViewerColumns();
    addLogFileRows();
    const QString unreadable = QStringLiteral("Log View - the log could not be read");
    QTest::addRow("missing") << "none" << "Kelvado.LOG" << QByteArray() << QStringList() << unreadable;
    QTest::addRow("a folder in its place") << "folder" << "Kelvado.LOG" << QByteArray() << QStringList() << unreadable;
    // Neither may hold the window: one blocks the open, the other never ends.
    QTest::addRow("a FIFO in its place") << "fifo" << "Kelvado.LOG" << QByteArray() << QStringList() << unreadable;
    QTest::addRow("a link to /dev/zero") << "device" << "kelvado.log" << QByteArray() << QStringList() << unreadable;
}

void TestLogViewer::linesReadInSmallPieces_data()
{
    addViewerColumns();
    addLogFileRows();
}

void TestLogViewer::viewerRows()
{
    QFETCH(QString, place);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QString, title);
    ScratchDir dir;
    const QByteArray name = QFile::encodeName(fileName);
    if (place == "file")
        writeFile(fileName, bytes);
    else if (place == "folder")
        QVERIFY(QDir().mkdir(fileName));
    else if (place == "fifo")
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else if (place == "device")
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    Form2 viewer;
    QCOMPARE(shownRows(viewer.Log_List), QStringList{"Log_List"} + lines);
    QCOMPARE(viewer.windowTitle(), title);
}

// The same lines when the file is read a few bytes at a time, with a mark
// every two lines or five bytes, over a buffer.
void TestLogViewer::linesReadInSmallPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    QVERIFY(buffer->open(QIODevice::ReadOnly));
    LogReadLimits limits;
    limits.pieceBytes = 3;
    limits.rowsPerMark = 2;
    limits.bytesPerMark = 5;
    LogLines log(std::move(buffer), limits);
    QStringList read;
    while (!log.indexPiece()) {
        // Lines are there as soon as their end is read, before the rest.
        for (qint64 i = read.size(); i < log.count(); ++i)
            read << log.text(i);
    }
    QCOMPARE(log.count(), lines.size());
    for (qint64 i = read.size(); i < log.count(); ++i)
        read << log.text(i);
    QCOMPARE(read, lines);
    // Asked again, in another order, from the cache or the file.
    for (qint64 i = log.count() - 1; i >= 0; --i)
        QCOMPARE(log.text(i), lines.at(i));
}

void TestLogViewer::longLogShownWhileRead()
{
    ScratchDir dir;
    QByteArray bytes;
    QStringList lines;
    for (int i = 0; i < 40000; ++i) {
        lines << QStringLiteral("Show %1_12 05 2003.mpg  Started: 20:00:00  Delay = Default").arg(i);
        bytes += lines.last().toUtf8() + "\r\n";
    }
    writeFile(QStringLiteral("Kelvado.LOG"), bytes);
    Form2 viewer;
    // The first rows are there at once, before the whole log is read.
    const QAbstractItemModel *model = viewer.Log_List->model();
    QVERIFY(model->rowCount() > 1);
    QVERIFY(model->rowCount() < lines.size() + 1);
    QCOMPARE(model->index(1, 0).data().toString(), lines.first());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTRY_COMPARE(model->rowCount(), lines.size() + 1);
    QCOMPARE(shownRows(viewer.Log_List), QStringList{"Log_List"} + lines);

    // End goes to the last line, and the list shows it.
    viewer.Log_List->setFocus();
    QTest::keyClick(viewer.Log_List, Qt::Key_End);
    const QModelIndex last = viewer.Log_List->currentIndex();
    QCOMPARE(last.row(), lines.size());
    const QRect rect = viewer.Log_List->visualRect(last);
    QVERIFY(viewer.Log_List->viewport()->rect().contains(rect));
    QCOMPARE(viewer.Log_List->indexAt(rect.center()), last);
    // A click picks the row under it.
    const QRect above = viewer.Log_List->visualRect(model->index(lines.size() - 1, 0));
    QTest::mouseClick(viewer.Log_List->viewport(), Qt::LeftButton, {}, above.center());
    QCOMPARE(viewer.Log_List->selectionModel()->selectedIndexes(), QModelIndexList{model->index(lines.size() - 1, 0)});
}

void TestLogViewer::windowLayout()
{
    ScratchDir dir;
    Form2 viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCOMPARE(viewer.parentWidget(), nullptr);
    QCOMPARE(viewer.windowModality(), Qt::NonModal);
    QCOMPARE(viewer.size(), QSize(605, 317));
    QVERIFY(viewer.minimumSize() != viewer.maximumSize());
    QVERIFY(viewer.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(viewer.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(viewer.Label1->text(), QStringLiteral("Kelvado  Log"));
    QCOMPARE(viewer.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(viewer.Label1->font().pointSizeF(), 18.0);
    QVERIFY(viewer.Label1->font().bold() && viewer.Label1->font().italic());
    QCOMPARE(viewer.Log_List->font().pointSizeF(), 9.75);
    QCOMPARE(viewer.Log_List->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(viewer.Command1->text(), QStringLiteral("Close Window"));
    QCOMPARE(viewer.Command1->font().pointSizeF(), 9.75);

    // Tab order: the list first, then the button; resizing moves nothing.
    QCOMPARE(viewer.focusWidget(), viewer.Log_List);
    QWidget *next = viewer.Log_List->nextInFocusChain();
    while (next && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, viewer.Command1);
    for (const QSize size : {viewer.size(), QSize(800, 500)}) {
        viewer.resize(size);
        QCOMPARE(viewer.Label1->geometry(), QRect(96, 16, 409, 33));
        QCOMPARE(viewer.Log_List->geometry(), QRect(40, 64, 513, 196));
        QCOMPARE(viewer.Command1->geometry(), QRect(48, 272, 97, 33));
    }
}

void TestLogViewer::reopening_data()
{
    QTest::addColumn<bool>("throughFrame");
    QTest::addRow("Close Window keeps the rows") << false;
    QTest::addRow("close box makes the next viewer read anew") << true;
}

void TestLogViewer::reopening()
{
    QFETCH(bool, throughFrame);
    WindowFixture f;
    writeFile(QStringLiteral("Kelvado.LOG"), "first\r\n");
    Form1 &w = f.start();
    // View Log does nothing during a download session.
    w.DownloadInProgress = true;
    QTest::mouseClick(w.LogView, Qt::LeftButton);
    QCOMPARE(w.logViewer(), nullptr);
    w.DownloadInProgress = false;
    QTest::mouseClick(w.LogView, Qt::LeftButton);
    QPointer<Form2> first = w.logViewer();
    QVERIFY(first && first->isVisible());
    QCOMPARE(shownRows(first->Log_List), (QStringList{"Log_List", "first"}));

    // A second View Log while it is open brings the same window forward.
    QTest::mouseClick(w.LogView, Qt::LeftButton);
    QCOMPARE(w.logViewer(), first.data());
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "Form2"}));

    if (throughFrame)
        QVERIFY(first->close());
    else
        QTest::mouseClick(first->Command1, Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{"Form1"});
    QFile log(QStringLiteral("Kelvado.LOG"));
    QVERIFY(log.open(QIODevice::Append));
    log.write(" \r\nEnd of Download Session \r\n");
    log.close();
    // Nor is a closed viewer shown again during a session.
    w.DownloadInProgress = true;
    QTest::mouseClick(w.LogView, Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{"Form1"});
    w.DownloadInProgress = false;

    QTest::mouseClick(w.LogView, Qt::LeftButton);
    Form2 *second = w.logViewer();
    QVERIFY(second && second->isVisible());
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "Form2"}));
    if (throughFrame) {
        QCOMPARE(shownRows(second->Log_List), (QStringList{"Log_List", "first", " ", "End of Download Session "}));
        QTRY_VERIFY(first.isNull());
    } else {
        QCOMPARE(second, first.data());
        QCOMPARE(shownRows(second->Log_List), (QStringList{"Log_List", "first"}));
    }
    QCOMPARE(f.messages.messages, QStringList());
}

QTEST_MAIN(TestLogViewer)
#include "tst_logviewer.moc"
