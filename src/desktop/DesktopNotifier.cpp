#include "desktop/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus)
    : m_bus(bus)
{
}

void DesktopNotifier::notify(const QString &summary, const QString &body) const
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Kelvado") << quint32(0) << QStringLiteral("org.kelvado.Kelvado") << summary << body
         << QStringList() << QVariantMap() << qint32(-1);
    call.setAutoStartService(false);
    m_bus.asyncCall(call, 5000);
}

void DesktopNotifier::sessionEnded(int saved, int failed) const
{
    if (saved + failed > 0)
        notify(QStringLiteral("Kelvado: downloads finished"), sessionSummaryText(saved, failed));
}

QString sessionSummaryText(int saved, int failed)
{
    const QString savedText = saved == 1 ? QStringLiteral("1 recording saved")
                                         : QStringLiteral("%1 recordings saved").arg(saved);
    if (failed == 0)
        return savedText + u'.';
    return savedText + QStringLiteral(", %1 failed.").arg(failed);
}
