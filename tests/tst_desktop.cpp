// Keeping the machine awake and telling the desktop, against a private bus
// with stand-in login and notification services.
#include "desktop/DesktopNotifier.h"
#include "desktop/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

class FakeLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogin() override
    {
        if (readEnd >= 0)
            ::close(readEnd);
    }
    QStringList lastArguments;
    int readEnd = -1;

    // True while some process still holds the descriptor handed out.
    bool lockHeld() const
    {
        char byte;
        return ::read(readEnd, &byte, 1) < 0 && errno == EAGAIN;
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why,
                                    const QString &mode)
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

// A stand-in service published on the private bus for the length of a test.
class BusService
{
public:
    BusService(const QString &address, const QString &connection, const QString &service, const QString &path,
               QObject *object)
        : m_connection(connection)
        , m_service(service)
        , m_bus(QDBusConnection::connectToBus(address, connection))
    {
        registered = m_bus.registerObject(path, object, QDBusConnection::ExportAllSlots)
            && m_bus.registerService(service);
    }
    ~BusService()
    {
        m_bus.unregisterService(m_service);
        QDBusConnection::disconnectFromBus(m_connection);
    }
    bool registered = false;

private:
    QString m_connection, m_service;
    QDBusConnection m_bus;
};

// A client connection to the private bus, closed with its scope.
struct BusClient
{
    BusClient(const QString &address, const QString &name)
        : name(name)
        , bus(QDBusConnection::connectToBus(address, name))
    {
    }
    ~BusClient() { QDBusConnection::disconnectFromBus(name); }
    QString name;
    QDBusConnection bus;
};

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void inhibitTakenAndReleased();
    void releaseBeforeReplyLetsGo();
    void noServiceCarriesOn();
    void notificationSent();
    void summaryText();

private:
    QProcess m_daemon;
    QString m_address;
};

void TestDesktop::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_daemon.waitForStarted());
    QVERIFY(m_daemon.waitForReadyRead(10000));
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void TestDesktop::cleanupTestCase()
{
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void TestDesktop::inhibitTakenAndReleased()
{
    FakeLogin login;
    BusService service(m_address, QStringLiteral("login-service"), QStringLiteral("org.freedesktop.login1"),
                       QStringLiteral("/org/freedesktop/login1"), &login);
    QVERIFY(service.registered);
    BusClient client(m_address, QStringLiteral("inhibit-client"));
    {
        SleepInhibitor inhibitor(client.bus);
        QSignalSpy held(&inhibitor, &SleepInhibitor::heldChanged);
        inhibitor.acquire(QStringLiteral("Downloading recordings"));
        QTRY_VERIFY(inhibitor.isHeld());
        QCOMPARE(login.lastArguments, (QStringList{"sleep:idle", "Kelvado", "Downloading recordings", "block"}));
        QVERIFY(login.lockHeld());

        inhibitor.release();
        QVERIFY(!inhibitor.isHeld());
        // Copies of the descriptor in the bus's messages close as those are freed.
        QTRY_VERIFY(!login.lockHeld());
        QCOMPARE(held.size(), 2);
        QCOMPARE(held.at(1).at(0).toBool(), false);

        // Taken again for the next session, and let go when the inhibitor goes away.
        inhibitor.acquire(QStringLiteral("again"));
        QTRY_VERIFY(inhibitor.isHeld());
        QVERIFY(login.lockHeld());
    }
    QTRY_VERIFY(!login.lockHeld());
}

void TestDesktop::releaseBeforeReplyLetsGo()
{
    FakeLogin login;
    BusService service(m_address, QStringLiteral("login-service-2"), QStringLiteral("org.freedesktop.login1"),
                       QStringLiteral("/org/freedesktop/login1"), &login);
    QVERIFY(service.registered);
    BusClient client(m_address, QStringLiteral("inhibit-client-2"));

    SleepInhibitor inhibitor(client.bus);
    inhibitor.acquire(QStringLiteral("short session"));
    inhibitor.release(); // before the service has answered
    QTRY_VERIFY(login.readEnd >= 0);
    // The descriptor travels back with the reply; once it has arrived it is let go at once.
    QTRY_VERIFY(!login.lockHeld());
    QVERIFY(!inhibitor.isHeld());
}

void TestDesktop::noServiceCarriesOn()
{
    BusClient client(m_address, QStringLiteral("lonely-client"));
    SleepInhibitor inhibitor(client.bus);
    QSignalSpy held(&inhibitor, &SleepInhibitor::heldChanged);
    inhibitor.acquire(QStringLiteral("nobody listens"));
    QTest::qWait(300);
    QVERIFY(!inhibitor.isHeld());
    QCOMPARE(held.size(), 0);
    DesktopNotifier(client.bus).notify(QStringLiteral("x"), QStringLiteral("y"));

    // No bus at all.
    SleepInhibitor offline(QDBusConnection(QStringLiteral("never-connected")));
    offline.acquire(QStringLiteral("no bus"));
    QVERIFY(!offline.isHeld());
}

void TestDesktop::notificationSent()
{
    FakeNotifications notifications;
    BusService service(m_address, QStringLiteral("notify-service"), QStringLiteral("org.freedesktop.Notifications"),
                       QStringLiteral("/org/freedesktop/Notifications"), &notifications);
    QVERIFY(service.registered);
    BusClient client(m_address, QStringLiteral("notify-client"));

    DesktopNotifier(client.bus).notify(QStringLiteral("Downloads finished"), sessionSummaryText(3, 1));
    QTRY_COMPARE(notifications.shown,
                 QStringList{QStringLiteral("Kelvado|Downloads finished|3 recordings saved, 1 failed.")});
}

void TestDesktop::summaryText()
{
    QCOMPARE(sessionSummaryText(1, 0), QStringLiteral("1 recording saved."));
    QCOMPARE(sessionSummaryText(0, 2), QStringLiteral("0 recordings saved, 2 failed."));
    QCOMPARE(sessionSummaryText(12, 0), QStringLiteral("12 recordings saved."));
}

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
