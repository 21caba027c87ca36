// The about dialog: its texts and places, the emblem, the keys and buttons that
// close it, and one dialog at a time.
#include "about/KelvadoEmblem.h"
#include "about/frmAbout.h"
#include "mainwindow/Form1.h"

#include "TestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

QList<frmAbout *> visibleDialogs()
{
    QList<frmAbout *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<frmAbout *>(widget); dialog && dialog->isVisible())
            dialogs << dialog;
    return dialogs;
}

std::unique_ptr<Form1> startWindow()
{
    auto window = std::make_unique<Form1>();
    window->Form_Load();
    window->show();
    return window;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void textsAndPlaces();
    void emblemDrawnAtTopLeft();
    void closing_data();
    void closing();
    void oneDialogAtATime();
    void opensDuringSession();
};

void TestAbout::textsAndPlaces()
{
    frmAbout about;
    QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Kelvado"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Kelvado"));
    QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.6.17"));
    QCOMPARE(about.lblDisclaimer->text(), QStringLiteral("       "));
    QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
    QVERIFY(about.cmdOK->isDefault());

    const QStringList thanks = about.Label1->text().split(u'\n');
    QCOMPARE(thanks.size(), 3);
    QVERIFY2(thanks.at(0).contains(QStringLiteral("Tolvane")), qPrintable(thanks.at(0)));
    QVERIFY2(thanks.at(1).contains(QStringLiteral("guide helper")), qPrintable(thanks.at(1)));
    QVERIFY2(thanks.at(2).contains(QStringLiteral("the Kelvado developers")), qPrintable(thanks.at(2)));
    QVERIFY(about.Label1->wordWrap() && about.lblDisclaimer->wordWrap());

    QCOMPARE(about.lblTitle->font().pointSizeF(), 18.0);
    QVERIFY(!about.lblTitle->font().bold() && !about.lblTitle->font().italic());
    QCOMPARE(about.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(about.lblDisclaimer->palette().color(QPalette::WindowText), QColor(Qt::black));

    QCOMPARE(about.cmdOK->geometry(), QRect(283, 175, 84, 23));
    QCOMPARE(about.lblDisclaimer->geometry(), QRect(17, 167, 250, 54));
    QCOMPARE(about.lblTitle->geometry(), QRect(72, 16, 157, 32));
    QCOMPARE(about.lblVersion->geometry(), QRect(248, 24, 123, 15));
    QCOMPARE(about.Label1->geometry(), QRect(24, 72, 337, 57));

    // The etched separator: grey first, the 2-pixel white line over it.
    QCOMPARE(about.Line1[1]->objectName(), QStringLiteral("Line1_1"));
    QCOMPARE(about.Line1[0]->objectName(), QStringLiteral("Line1_0"));
    QCOMPARE(about.Line1[1]->palette().color(QPalette::Window), QColor(128, 128, 128));
    QCOMPARE(about.Line1[0]->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(about.Line1[1]->geometry(), QRect(6, 144, 372, 1));
    QCOMPARE(about.Line1[0]->height(), 2);
    const QObjectList order = about.children();
    QVERIFY(order.indexOf(about.Line1[1]) < order.indexOf(about.Line1[0]));

    // A fixed frame at a fixed place, outside the task bar, with no owner.
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.parentWidget(), nullptr);
    QVERIFY(!about.isModal());
    QCOMPARE(about.minimumSize(), QSize(382, 237));
    QCOMPARE(about.maximumSize(), QSize(382, 237));
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    QCOMPARE(about.geometry(), QRect(origin + QPoint(156, 129), QSize(382, 237)));
    QCOMPARE(about.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void TestAbout::emblemDrawnAtTopLeft()
{
    const QImage emblem = kelvadoEmblem(74, 64);
    QCOMPARE(emblem.size(), QSize(74, 64));
    QCOMPARE(kelvadoEmblem(148, 128).size(), QSize(148, 128));
    QSet<QRgb> colours;
    for (int y = 0; y < emblem.height(); ++y)
        for (int x = 0; x < emblem.width(); ++x)
            colours.insert(emblem.pixel(x, y));
    QVERIFY2(colours.size() > 8, "the emblem is a picture, not a blank");

    frmAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QImage shot = about.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage expected(shot.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(about.palette().color(QPalette::Window));
    QPainter painter(&expected);
    painter.drawImage(QPoint(0, 0), emblem);
    painter.end();
    // The title label starts at x = 72; left of it only the picture is drawn.
    const QRect picture(0, 0, 72, 64);
    QCOMPARE(shot.copy(picture), expected.copy(picture));
}

void TestAbout::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("OK button") << "OK";
    QTest::addRow("Enter") << "Enter";
    QTest::addRow("Return") << "Return";
    QTest::addRow("Escape") << "Escape";
    QTest::addRow("close box") << "close box";
}

void TestAbout::closing()
{
    QFETCH(QString, how);
    ScratchDir dir;
    MessageCapture messages;
    auto window = startWindow();
    window->mnuAbout->trigger();
    QPointer<frmAbout> about = window->aboutDialog();
    QVERIFY(about && about->isVisible());
    about->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QWidget *focus = about->focusWidget() ? about->focusWidget() : about.data();

    if (how == QLatin1String("OK"))
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    else if (how == QLatin1String("Enter"))
        QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier);
    else if (how == QLatin1String("Return"))
        QTest::keyClick(focus, Qt::Key_Return);
    else if (how == QLatin1String("Escape"))
        QTest::keyClick(focus, Qt::Key_Escape);
    else
        QVERIFY(about->close());

    // Destroyed, not hidden; the main window stays.
    QTRY_VERIFY(about.isNull());
    QCOMPARE(window->aboutDialog(), nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(messages.messages, QStringList());
}

void TestAbout::oneDialogAtATime()
{
    ScratchDir dir;
    auto window = startWindow();
    window->mnuAbout->trigger();
    QPointer<frmAbout> first = window->aboutDialog();
    QVERIFY(first);
    first->setProperty("marker", true);

    window->mnuAbout->trigger();
    QCOMPARE(window->aboutDialog(), first.data());
    QCOMPARE(visibleDialogs(), QList<frmAbout *>{first.data()});

    // After OK the next About loads a new dialog; the old one is gone at once
    // from the screen even before it is destroyed.
    QTest::mouseClick(first->cmdOK, Qt::LeftButton);
    window->mnuAbout->trigger();
    frmAbout *second = window->aboutDialog();
    QVERIFY(second && second->isVisible());
    QCOMPARE(second->property("marker"), QVariant());
    QCOMPARE(visibleDialogs(), QList<frmAbout *>{second});
    QCOMPARE(second->lblVersion->text(), QStringLiteral("Version 1.6.17"));
    QTRY_VERIFY(first.isNull());
}

void TestAbout::opensDuringSession()
{
    ScratchDir dir;
    MessageCapture messages;
    auto window = startWindow();
    window->DownloadInProgress = true;
    window->mnuAbout->trigger();
    QCOMPARE(visibleDialogs().size(), 1);
    QCOMPARE(visibleDialogs().first(), window->aboutDialog());
    QCOMPARE(messages.messages, QStringList());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
