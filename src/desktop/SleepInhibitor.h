#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// Asks the login manager not to suspend or idle the machine while recordings
// download, and lets go at the end. Where no such service exists it does nothing.
// The call is asynchronous so a slow bus never holds up the window.
class SleepInhibitor : public QObject
{
    Q_OBJECT

public:
    explicit SleepInhibitor(const QDBusConnection &bus = QDBusConnection::systemBus(), QObject *parent = nullptr);
    ~SleepInhibitor() override;

    void acquire(const QString &why);
    // While a download session runs.
    void acquireForDownloads() { acquire(QStringLiteral("Downloading recordings from the ReplayTV recorder")); }
    void release();
    bool isHeld() const { return m_lock.isValid(); }

signals:
    void heldChanged(bool held);

private:
    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_lock;
    bool m_wanted = false;
    quint64 m_request = 0;
};
