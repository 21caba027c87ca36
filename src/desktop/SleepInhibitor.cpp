#include "desktop/SleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

SleepInhibitor::SleepInhibitor(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
}

SleepInhibitor::~SleepInhibitor()
{
    release();
}

void SleepInhibitor::acquire(const QString &why)
{
    m_wanted = true;
    if (isHeld() || !m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("Kelvado") << why << QStringLiteral("block");
    const quint64 request = ++m_request;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        // A reply that comes after release (or after a newer request) is let go at once.
        if (reply.isError() || !m_wanted || request != m_request)
            return;
        m_lock = reply.value();
        if (m_lock.isValid())
            emit heldChanged(true);
    });
}

void SleepInhibitor::release()
{
    m_wanted = false;
    ++m_request;
    if (!m_lock.isValid())
        return;
    // Closing our copy of the descriptor is what ends the inhibition.
    m_lock = QDBusUnixFileDescriptor();
    emit heldChanged(false);
}
