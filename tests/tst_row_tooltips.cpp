// The title list's row tooltips: recorder file name, measured size and the name
// the recording would be saved under at that moment; like every message, shown
// as the words they are, never as markup.
#include "guide/RowToolTip.h"
#include "mainwindow/MessageBox.h"

#include "fixtures/guide/GuideWindowFixture.h"

#include <QHelpEvent>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

namespace {

// The words a label shows for a text: Qt takes text in the automatic format
// as markup when it looks like markup.
QString shownWords(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

} // namespace

class TestRowToolTips : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textLayout();
    void followsMeasuringAndTakenNames();
    void shownWhenPointerRests_data();
    void shownWhenPointerRests();
    void messageBoxShowsPlainText();

private:
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<MessageCapture> m_messages;
    std::unique_ptr<GuideWindowFixture> m_fixture;
};

void TestRowToolTips::init()
{
    m_dir = std::make_unique<ScratchDir>();
    m_messages = std::make_unique<MessageCapture>();
    m_fixture = std::make_unique<GuideWindowFixture>();
    m_fixture->useCatalog({{QStringLiteral("Show"), QStringLiteral("High"), QStringLiteral("12/05/2003"),
                            QStringLiteral("20:00:00"), QStringLiteral("111.mpg"), 30, 1234567},
                           {QStringLiteral("Movie Part 1/2"), QStringLiteral("Standard"), QStringLiteral("01/02/2004"),
                            QStringLiteral("21:00:00"), QStringLiteral("222.mpg"), 60, 999}});
}

void TestRowToolTips::cleanup()
{
    m_fixture.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestRowToolTips::textLayout()
{
    QCOMPARE(rowToolTipText(QStringLiteral("1070683200.mpg"), 3145731, QStringLiteral("Nova_03 14 2002.mpg")),
             QStringLiteral("ReplayTV file: 1070683200.mpg\nSize: 3,145,731 bytes\nSaved as: Nova_03 14 2002.mpg"));
    QCOMPARE(rowToolTipText(QStringLiteral("1.mpg"), 0, QStringLiteral("A_01 02 2004.mpg")),
             QStringLiteral("ReplayTV file: 1.mpg\nSize: not measured yet (click the list)\nSaved as: A_01 02 2004.mpg"));
}

void TestRowToolTips::followsMeasuringAndTakenNames()
{
    Form1 &w = m_fixture->startWindow();
    m_fixture->pressGetGuide();
    auto *tips = w.findChild<RowToolTips *>();
    QVERIFY(tips);
    QCOMPARE(tips->textForRow(1),
             rowToolTipText(QStringLiteral("222.mpg"), 0, QStringLiteral("Movie Part 1 2_01 02 2004.mpg")));

    m_fixture->setTicked(0, true);
    m_fixture->clickRow(0);
    QVERIFY(tips->textForRow(0).contains(QStringLiteral("Size: 1,234,567 bytes")));

    // A file that takes the name now moves the save name on.
    writeFile(QStringLiteral("show_12 05 2003.MPG"), "x");
    QVERIFY(tips->textForRow(0).endsWith(QStringLiteral("Saved as: Show_12 05 2003_01.mpg")));
    QCOMPARE(tips->textForRow(2), QString());
    QCOMPARE(tips->textForRow(-1), QString());
}

void TestRowToolTips::shownWhenPointerRests_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fileName");

    QTest::addRow("plain names") << "Movie Part 1/2" << "222.mpg";
    // Taken as markup, the picture would be loaded, and /dev/zero never ends.
    QTest::addRow("markup in names") << "<img src=nowhere.png> Live" << "<i>3<i>.mpg";
}

void TestRowToolTips::shownWhenPointerRests()
{
    QFETCH(QString, title);
    QFETCH(QString, fileName);
    m_fixture->useCatalog({{title, QStringLiteral("High"), QStringLiteral("12/05/2003"), QStringLiteral("20:00:00"),
                            fileName, 30, 1234567}});
    Form1 &w = m_fixture->startWindow();
    m_fixture->pressGetGuide();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString expected = w.findChild<RowToolTips *>()->textForRow(0);
    QVERIFY2(expected.startsWith(QStringLiteral("ReplayTV file: ") + fileName + u'\n'), qPrintable(expected));
    const QRect rect = w.List1->visualItemRect(w.List1->item(0));
    QHelpEvent rest(QEvent::ToolTip, rect.center(), w.List1->viewport()->mapToGlobal(rect.center()));
    QCoreApplication::sendEvent(w.List1->viewport(), &rest);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(shownWords(QToolTip::text(), Qt::AutoText), expected);
}

void TestRowToolTips::messageBoxShowsPlainText()
{
    // A message that begins with a name from the recorder.
    const QString message = QStringLiteral("Cannot delete <i>3<i>.mpg: Permission denied");
    QString shown;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = shownWords(box->text(), box->textFormat());
            box->accept();
        }
    });
    answer.start(10);
    showMessageBox(message);
    QCOMPARE(shown, message);
}

QTEST_MAIN(TestRowToolTips)
#include "tst_row_tooltips.moc"
