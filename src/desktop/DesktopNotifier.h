#pragma once

#include <QDBusConnection>
#include <QString>

// Shows a desktop notification through the freedesktop notification service;
// where there is none, nothing happens. Never waits for the service.
class DesktopNotifier
{
public:
    explicit DesktopNotifier(const QDBusConnection &bus = QDBusConnection::sessionBus());

    void notify(const QString &summary, const QString &body) const;
    // What a download session saved, when it tried anything at all.
    void sessionEnded(int saved, int failed) const;

private:
    QDBusConnection m_bus;
};

// "3 recordings saved, 1 failed." and its variants.
QString sessionSummaryText(int saved, int failed);
