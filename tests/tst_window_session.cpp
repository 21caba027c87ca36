// One download session driven through the main window, the first of two
// titles stopping short: what the window shows during and after it, what it
// refuses while it runs, the log and the files; and the desktop companion
// against stand-in login and notification services on a private bus.
#include "WindowDriver.h"

#include "archive/DiskSpace.h"
#include "desktop/SessionCompanion.h"
#include "desktop/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

using namespace sessiontest;

class FakeLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QStringList lastArguments;
    int readEnd = -1;

    // True while some process still holds the write end handed out.
    bool lockHeld() const
    {
        char byte;
        return ::read(readEnd, &byte, 1) < 0 && errno == EAGAIN;
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        lastArguments = {what, who, why, mode};
        int ends[2];
        if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
            return {};
        readEnd = ends[0];
        QDBusUnixFileDescriptor handed(ends[1]); // keeps its own copy
        ::close(ends[1]);
        return handed;
    }
};

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown;

public slots:
    uint Notify(const QString &app, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        shown << app + u'|' + summary + u'|' + body;
        return uint(shown.size());
    }
};

class TestWindowSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sessionWithAFailure();

private:
    QProcess m_bus; // ends with the suite
    FakeLogin m_login;
    FakeNotifications m_notifications;
};

void TestWindowSession::initTestCase()
{
    // The window's inhibitor and notifier take the private bus for the system and the session bus.
    m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    QVERIFY2(m_bus.waitForStarted() && m_bus.waitForReadyRead(10000), "dbus-daemon does not run");
    const QByteArray address = m_bus.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QDBusConnection services = QDBusConnection::connectToBus(QString::fromUtf8(address), "stand-ins");
    const auto all = QDBusConnection::ExportAllSlots;
    QVERIFY(services.registerObject("/org/freedesktop/login1", &m_login, all)
            && services.registerService("org.freedesktop.login1")
            && services.registerObject("/org/freedesktop/Notifications", &m_notifications, all)
            && services.registerService("org.freedesktop.Notifications"));
}

void TestWindowSession::sessionWithAFailure()
{
    WindowDriver d;
    const QString first = "1070683200.mpg", firstSave = "First_12 05 2003.mpg";
    const QString secondTitle = "Second Evening of the Long Documentary Series on Rivers";
    const QString second = "1070686800.mpg", secondSave = secondTitle + "_12 05 2003.mpg";
    const QString refusal = "Cannot quit - download in progress.";
    d.recorder.setCatalog({{"First", first, 100000}, {secondTitle, second, 3000}});
    d.recorder.setFault("stop:65000", first);
    writeFile("RPTVIP.dat", "\"10.0.0.5\",\"10\"\r\n");
    Form1 &w = d.start();
    QDir().mkdir("archive");
    w.SaveFolderChosen(QDir::current().absoluteFilePath("archive"));
    d.click("GetGuide");
    d.tick({0, 1});
    d.clickRow(0);
    QCOMPARE(d.texts({"Text5", "Text6"}), (QStringList{"2", grouped("103,000")}));
    d.recorder.clearJournal();

    // The boxes and the progress strip at every change of the status box; at
    // the first, the commands the session refuses and the machine kept awake.
    const auto *bar = control<QProgressBar>(w, "TitleProgress");
    const auto *list = control<QListWidget>(w, "List1");
    QStringList seen;
    bool pressed = false;
    QObject watcher;
    connect(control<QLineEdit>(w, "Text3"), &QLineEdit::textChanged, &watcher, [&] {
        seen << d.texts({"Text3", "Text4", "Text7", "Text5", "Text6", "Text8"}).join(u'|')
                + QStringLiteral("|%1 %2").arg(bar->value()).arg(bar->toolTip());
        if (std::exchange(pressed, true))
            return;
        QVERIFY(!list->isEnabled());
        d.click("Extract");
        d.click("Quit");
        QVERIFY(!w.close());
        QTRY_VERIFY(w.companion().inhibitor()->isHeld());
    });

    // A long name shows its start, and in full in the tooltip with the folder.
    auto *savingAs = control<QLineEdit>(w, "Text7");
    QStringList named;
    connect(savingAs, &QLineEdit::textChanged, &watcher, [&] {
        named << QString::number(savingAs->cursorPosition()) + u' ' + shownTip(savingAs->toolTip());
    });

    // Room for each title, not for both: the user is asked and starts anyway.
    setDiskProbe([](const QString &) { return DiskState{true, 1, 100000, {}, 1}; });
    d.told.answer = true;
    d.click("Extract");
    setDiskProbe({});
    QCOMPARE(d.told.questions.size(), 1);
    QVERIFY(d.told.questions[0].contains("/archive): 103.0 kB needed, 100.0 kB free."));

    // The failed title stays ticked, so its bytes stay left; what is shown for
    // the file is always the title's being downloaded.
    const QString total = grouped("103,000"), left = grouped("100,000"), firstLeft = grouped("35,000");
    const QString strip = QStringLiteral("%1 Session: %2 % of ") + total + " bytes";
    QCOMPARE(seen,
             (QStringList{"Downloading |" + first + "||2|" + total + '|' + left + '|' + strip.arg(0).arg(0),
                          "Failed: stopped short|" + first + '|' + firstSave + "|2|" + total + '|' + firstLeft + '|'
                              + strip.arg(65).arg(63),
                          "Downloading |" + second + '|' + firstSave + "|2|" + total + '|' + grouped("3,000") + '|'
                              + strip.arg(0).arg(0),
                          "Renaming Mpeg|" + second + '|' + secondSave + "|1|" + left + "|0|" + strip.arg(100).arg(2),
                          "Session End|" + second + '|' + secondSave + "|1|" + left + "|0|" + strip.arg(100).arg(2)}));
    QCOMPARE(d.texts({"Text3", "Text4", "Text7", "Text5", "Text6", "Text8"}),
             (QStringList{"Session End", "", "", "1", left, "0"}));
    QCOMPARE(d.tickedRows(), QList<int>{0});
    QVERIFY(list->isEnabled());
    QVERIFY(bar->isHidden());
    QCOMPARE(d.text("ProgressText"), QString());
    QCOMPARE(d.told.messages,
             (QStringList{refusal, refusal, failureMessage({failedLine(firstSave, first, "stopped short")})}));
    QCOMPARE(d.exits, 0);
    const QString into = "\nSaved in: " + QDir::current().absoluteFilePath("archive");
    QCOMPARE(named, (QStringList{"0 Renamed after download to this name: " + firstSave + into,
                                 "0 Renamed after download to this name: " + secondSave + into,
                                 "0 Renamed after download to this name" + into}));

    QCOMPARE(d.recorder.journal(), (QStringList{tolvane(first, "10"), tolvane(second, "10")}));
    QCOMPARE(sessionLog(2), sessionHeader() + titleLog(firstSave, "10", "stopped short") + titleLog(secondSave, "10")
                                + sessionEnd());
    QCOMPARE(workingDirEntries(),
             (QStringList{first, "Guide.dat", "Guide.txt", "Kelvado.LOG", "RPTVIP.dat", "SaveFolder.txt",
                          "SavedRecordings.txt", "archive"}));
    QCOMPARE(QFileInfo(first).size(), qint64(65000));
    QCOMPARE(readFile("archive/" + secondSave), recordingBytes(second, 3000));
    QVERIFY(list->item(0)->foreground() != list->item(1)->foreground()
            && list->item(0)->icon().cacheKey() != list->item(1)->icon().cacheKey());

    QCOMPARE(m_login.lastArguments,
             (QStringList{"sleep:idle", "Kelvado", "Downloading recordings from the ReplayTV recorder", "block"}));
    QVERIFY(!w.companion().inhibitor()->isHeld());
    // Copies of the lock in the bus's messages close as those are freed.
    QTRY_VERIFY(!m_login.lockHeld());
    QTRY_COMPARE(m_notifications.shown,
                 QStringList{"Kelvado|Kelvado: downloads finished|1 recording saved, 1 failed."});

    // Extract again, the row still ticked, the total again its size: now whole,
    // its name is taken just before its move, so it fails and is ticked again.
    seen.clear();
    d.recorder.setFault("");
    connect(control<QLineEdit>(w, "Text3"), &QLineEdit::textChanged, &watcher, [&] {
        if (d.text("Text3") == "Renaming Mpeg")
            writeFile("archive/" + firstSave, "");
    });
    d.click("Extract");
    QVERIFY(seen.value(0).startsWith("Downloading |" + first + "||1|" + left + '|' + left + '|'));
    QCOMPARE(d.texts({"Text3", "Text6", "Text8"}), (QStringList{"Session End", left, "0"}));
    QCOMPARE(d.tickedRows(), QList<int>{0});
}

QTEST_MAIN(TestWindowSession)
#include "tst_window_session.moc"
