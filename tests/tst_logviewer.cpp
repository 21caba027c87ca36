// The log viewer: the rows it shows, its controls, and how View Log,
// "Close Window" and the frame's close box treat it.
#include "log/Form2.h"

#include "fixtures/guide/GuideWindowFixture.h"

#include <QDir>
#include <QLabel>

class TestLogViewer : public QObject
{
    Q_OBJECT

private slots:
    void viewerRows_data();
    void viewerRows();
    void windowLayout();
    void reopening_data();
    void reopening();
};

void TestLogViewer::viewerRows_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines"); // shown after the list's first row
    QTest::addColumn<QString>("title");

    const QString title = QStringLiteral("Log View");
    QTest::addRow("empty log") << "Kelvado.LOG" << QByteArray("") << QStringList() << title;
    QTest::addRow("termination record") << "Kelvado.LOG" << QByteArray("Program Terminated \r\n \r\n \r\n")
                                        << QStringList{"Program Terminated ", " ", " "} << title;
    QTest::addRow("name in other letter case, no last line end")
        << "KELVADO.log" << QByteArray("x  Started: 10:00:00  Delay = 10\r\nlast")
        << QStringList{"x  Started: 10:00:00  Delay = 10", "last"} << title;
    QTest::addRow("every line end") << "Kelvado.LOG" << QByteArray("one\ntwo\rthree\r\n\r\n")
                                    << QStringList{"one", "two", "three", ""} << title;
    // Each line decoded by itself: one line's encoding does not spoil another's.
    QTest::addRow("lines in two code pages") << "Kelvado.LOG" << QByteArray("Caf\xc3\xa9.mpg\r\nCaf\xe9.mpg\r\n")
                                             << QStringList{"Café.mpg", "Café.mpg"} << title;
    const QString unreadable = QStringLiteral("Log View - the log could not be read");
    QTest::addRow("missing") << "" << QByteArray() << QStringList() << unreadable;
    QTest::addRow("a folder in its place") << "Kelvado.LOG" << QByteArray() << QStringList() << unreadable;
}

void TestLogViewer::viewerRows()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QString, title);
    ScratchDir dir;
    // Without bytes a folder takes the log's name, or there is no log at all.
    if (bytes.isNull() && !fileName.isEmpty())
        QVERIFY(QDir().mkdir(fileName));
    else if (!bytes.isNull())
        writeFile(fileName, bytes);
    Form2 viewer;
    QCOMPARE(listRows(viewer.Log_List), QStringList{"Log_List"} + lines);
    QCOMPARE(viewer.windowTitle(), title);
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
    QCOMPARE(listRows(first->Log_List), (QStringList{"Log_List", "first"}));

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
        QCOMPARE(listRows(second->Log_List), (QStringList{"Log_List", "first", " ", "End of Download Session "}));
        QTRY_VERIFY(first.isNull());
    } else {
        QCOMPARE(second, first.data());
        QCOMPARE(listRows(second->Log_List), (QStringList{"Log_List", "first"}));
    }
    QCOMPARE(f.messages.messages, QStringList());
}

QTEST_MAIN(TestLogViewer)
#include "tst_logviewer.moc"
