// The log viewer: the line reader, the rows it shows, its controls, and how
// View Log, "Close Window" and the frame's close box treat it.
#include "log/Form2.h"
#include "log/LogLines.h"
#include "mainwindow/Form1.h"

#include "TestSupport.h"

#include <QDate>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

int visibleViewers()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->isVisible() && qobject_cast<Form2 *>(widget);
    return count;
}

std::unique_ptr<Form1> startWindow()
{
    auto window = std::make_unique<Form1>();
    window->Form_Load();
    window->show();
    return window;
}

} // namespace

class TestLogViewer : public QObject
{
    Q_OBJECT

private slots:
    void logLines_data();
    void logLines();
    void viewerRows_data();
    void viewerRows();
    void unreadableLog_data();
    void unreadableLog();
    void freshLogThroughViewLog();
    void windowLayout();
    void reopening_data();
    void reopening();
    void refusedDuringSession();
};

void TestLogViewer::logLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::addRow("no bytes") << QByteArray() << QStringList();
    QTest::addRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
    QTest::addRow("LF") << QByteArray("one\ntwo\n") << QStringList{"one", "two"};
    QTest::addRow("lone CR") << QByteArray("one\rtwo\r") << QStringList{"one", "two"};
    QTest::addRow("last line without end") << QByteArray("one\r\ntwo") << QStringList{"one", "two"};
    QTest::addRow("empty lines kept") << QByteArray("\r\n\r\nx\r\r\n") << QStringList{"", "", "x", ""};
    QTest::addRow("one-blank lines") << QByteArray(" \r\n \r\n") << QStringList{" ", " "};
    QTest::addRow("line in another code page")
        << QByteArray("Caf\xc3\xa9.mpg\r\nCaf\xe9.mpg\r\n") << QStringList{QString::fromUtf8("Caf\xc3\xa9.mpg"), QString::fromUtf8("Caf\xc3\xa9.mpg")};
}

void TestLogViewer::logLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(::logLines(bytes), lines);
}

void TestLogViewer::viewerRows_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shown");

    QTest::addRow("empty log") << "Kelvado.LOG" << QByteArray() << QStringList{"Log_List"};
    QTest::addRow("termination record")
        << "Kelvado.LOG" << QByteArray("Program Terminated \r\n \r\n \r\n")
        << QStringList{"Log_List", "Program Terminated ", " ", " "};
    QTest::addRow("name in other letter case")
        << "KELVADO.log" << QByteArray("x  Started: 10:00:00  Delay = 10\r\nlast")
        << QStringList{"Log_List", "x  Started: 10:00:00  Delay = 10", "last"};
}

void TestLogViewer::viewerRows()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, shown);

    ScratchDir dir;
    writeFile(fileName, bytes);
    Form2 viewer;
    QCOMPARE(rows(viewer.Log_List), shown);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Log View"));
}

void TestLogViewer::unreadableLog_data()
{
    QTest::addColumn<bool>("folderInItsPlace");
    QTest::addRow("missing") << false;
    QTest::addRow("a folder") << true;
}

void TestLogViewer::unreadableLog()
{
    QFETCH(bool, folderInItsPlace);
    ScratchDir dir;
    if (folderInItsPlace)
        QVERIFY(QDir().mkdir(QStringLiteral("Kelvado.LOG")));
    Form2 viewer;
    QCOMPARE(rows(viewer.Log_List), QStringList{"Log_List"});
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Log View - the log could not be read"));
}

void TestLogViewer::freshLogThroughViewLog()
{
    ScratchDir dir;
    MessageCapture messages;
    const QString before = QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy"));
    auto window = startWindow();
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    const QString after = QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy"));

    Form2 *viewer = window->logViewer();
    QVERIFY(viewer && viewer->isVisible());
    const QStringList shown = rows(viewer->Log_List);
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(0), QStringLiteral("Log_List"));
    QCOMPARE(shown.at(1), QStringLiteral(" - - - - - - - - - - - - - - - - - - -"));
    const QString prefix = QStringLiteral("New Kelvado Log V. 1.5  Started   -  ");
    QVERIFY2(shown.at(2) == prefix + before || shown.at(2) == prefix + after, qPrintable(shown.at(2)));
    QCOMPARE(messages.messages, QStringList());
}

void TestLogViewer::windowLayout()
{
    ScratchDir dir;
    Form2 viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));

    QCOMPARE(viewer.objectName(), QStringLiteral("Form2"));
    QCOMPARE(viewer.parentWidget(), nullptr);
    QCOMPARE(viewer.windowModality(), Qt::NonModal);
    QCOMPARE(viewer.size(), QSize(605, 317));
    QVERIFY(viewer.minimumSize() != viewer.maximumSize());
    const Qt::WindowFlags flags = viewer.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(viewer.Label1->text(), QStringLiteral("Kelvado  Log"));
    QCOMPARE(viewer.Label1->geometry(), QRect(96, 16, 409, 33));
    QCOMPARE(viewer.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(viewer.Label1->font().pointSizeF(), 18.0);
    QVERIFY(viewer.Label1->font().bold() && viewer.Label1->font().italic());
    QCOMPARE(viewer.Log_List->geometry(), QRect(40, 64, 513, 196));
    QCOMPARE(viewer.Log_List->font().pointSizeF(), 9.75);
    QCOMPARE(viewer.Log_List->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(viewer.Command1->text(), QStringLiteral("Close Window"));
    QCOMPARE(viewer.Command1->geometry(), QRect(48, 272, 97, 33));
    QCOMPARE(viewer.Command1->font().pointSizeF(), 9.75);

    // Tab order: the list first, then the button; resizing moves nothing.
    QCOMPARE(viewer.focusWidget(), viewer.Log_List);
    QWidget *next = viewer.Log_List->nextInFocusChain();
    while (next && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, viewer.Command1);
    viewer.resize(800, 500);
    QCOMPARE(viewer.Log_List->geometry(), QRect(40, 64, 513, 196));
    QCOMPARE(viewer.Command1->geometry(), QRect(48, 272, 97, 33));
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
    ScratchDir dir;
    MessageCapture messages;
    writeFile(QStringLiteral("Kelvado.LOG"), "first\r\n");
    auto window = startWindow();

    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QPointer<Form2> first = window->logViewer();
    QVERIFY(first && first->isVisible());
    QCOMPARE(rows(first->Log_List), (QStringList{"Log_List", "first"}));
    first->setProperty("marker", true);

    // A second View Log while it is open brings the same window forward.
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QCOMPARE(window->logViewer(), first.data());
    QCOMPARE(visibleViewers(), 1);

    if (throughFrame)
        QVERIFY(first->close());
    else
        QTest::mouseClick(first->Command1, Qt::LeftButton);
    QCOMPARE(visibleViewers(), 0);

    // What a download session leaves in the log.
    QFile log(QStringLiteral("Kelvado.LOG"));
    QVERIFY(log.open(QIODevice::Append));
    log.write(" \r\nEnd of Download Session \r\n");
    log.close();

    QTest::mouseClick(window->LogView, Qt::LeftButton);
    Form2 *second = window->logViewer();
    QVERIFY(second && second->isVisible());
    QCOMPARE(visibleViewers(), 1);
    if (throughFrame) {
        QCOMPARE(second->property("marker"), QVariant());
        QCOMPARE(rows(second->Log_List), (QStringList{"Log_List", "first", " ", "End of Download Session "}));
        QTRY_VERIFY(first.isNull());
    } else {
        QCOMPARE(second, first.data());
        QCOMPARE(rows(second->Log_List), (QStringList{"Log_List", "first"}));
    }
    QCOMPARE(messages.messages, QStringList());
}

void TestLogViewer::refusedDuringSession()
{
    ScratchDir dir;
    MessageCapture messages;
    auto window = startWindow();
    window->DownloadInProgress = true;
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QCOMPARE(window->logViewer(), nullptr);

    // A hidden viewer is not shown again during a session either.
    window->DownloadInProgress = false;
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QVERIFY(window->logViewer());
    QTest::mouseClick(window->logViewer()->Command1, Qt::LeftButton);
    window->DownloadInProgress = true;
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QCOMPARE(visibleViewers(), 0);
    QCOMPARE(messages.messages, QStringList());

    window->DownloadInProgress = false;
    QTest::mouseClick(window->LogView, Qt::LeftButton);
    QCOMPARE(visibleViewers(), 1);
}

QTEST_MAIN(TestLogViewer)
#include "tst_logviewer.moc"
