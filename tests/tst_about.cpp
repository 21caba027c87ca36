// The about dialog: its texts and places, the emblem, the keys and buttons that
// close it, and one dialog at a time.
#include "about/KelvadoEmblem.h"
#include "about/frmAbout.h"

#include "fixtures/guide/GuideWindowFixture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void textsAndPlaces();
    void emblemDrawnAtTopLeft();
    void closing_data();
    void closing();
};

void TestAbout::textsAndPlaces()
{
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Kelvado"));
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

    // Controls found by their names, with their texts, at their places.
    const QList<std::tuple<const char *, QString, QRect>> controls{
        {"cmdOK", "OK", {283, 175, 84, 23}},          {"lblDisclaimer", "       ", {17, 167, 250, 54}},
        {"lblTitle", "Kelvado", {72, 16, 157, 32}},    {"lblVersion", "Version 1.6.17", {248, 24, 123, 15}},
        {"Label1", QString(), {24, 72, 337, 57}},      {"Line1_1", QString(), {6, 144, 372, 1}}};
    for (const auto &[name, text, rect] : controls) {
        const QWidget *control = about.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(control, name);
        if (!text.isNull()) // the thanks are checked line by line above
            QCOMPARE(control->property("text").toString(), text);
        QCOMPARE(control->geometry(), rect);
    }
    // The etched separator: grey first, the 2-pixel white line over it.
    QCOMPARE(about.Line1[0]->objectName(), QStringLiteral("Line1_0"));
    QCOMPARE(about.Line1[1]->palette().color(QPalette::Window), QColor(128, 128, 128));
    QCOMPARE(about.Line1[0]->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(about.Line1[0]->height(), 2);
    QVERIFY(about.children().indexOf(about.Line1[1]) < about.children().indexOf(about.Line1[0]));

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
    QPainter(&expected).drawImage(QPoint(0, 0), emblem);
    // The title label starts at x = 72; left of it only the picture is drawn.
    QCOMPARE(shot.copy(0, 0, 72, 64), expected.copy(0, 0, 72, 64));
}

void TestAbout::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("reopenAtOnce"); // before the closed dialog is destroyed
    for (const char *how : {"OK", "Enter", "Return", "Escape", "close box"})
        QTest::addRow("%s", how) << how << false;
    QTest::addRow("OK, About again at once") << "OK" << true;
}

void TestAbout::closing()
{
    QFETCH(QString, how);
    QFETCH(bool, reopenAtOnce);
    WindowFixture f;
    Form1 &w = f.start();
    w.DownloadInProgress = true; // About opens during a download session as well
    w.mnuAbout->trigger();
    QPointer<frmAbout> about = w.aboutDialog();
    QVERIFY(about && about->isVisible());
    w.mnuAbout->trigger(); // one dialog at a time
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "frmAbout"}));
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

    // Off the screen at once, then destroyed, not hidden; the main window stays.
    QCOMPARE(visibleWindows(), QStringList{"Form1"});
    if (!reopenAtOnce) {
        QTRY_VERIFY(about.isNull());
        QCOMPARE(w.aboutDialog(), nullptr);
    }
    w.mnuAbout->trigger();
    frmAbout *second = w.aboutDialog();
    QVERIFY(second && second != about.data() && second->isVisible());
    QCOMPARE(visibleWindows(), (QStringList{"Form1", "frmAbout"}));
    QTRY_VERIFY(about.isNull());
    QVERIFY(w.isVisible());
    QCOMPARE(f.messages.messages, QStringList());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
