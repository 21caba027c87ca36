#pragma once

#include <QObject>

#include <memory>

class DesktopNotifier;
class ProgressStrip;
class SleepInhibitor;

// What goes along with a download session beyond its own boxes: the progress
// strip, keeping the machine awake, and the desktop notification at the end.
class SessionCompanion : public QObject
{
    Q_OBJECT

public:
    SessionCompanion(ProgressStrip *strip, std::unique_ptr<SleepInhibitor> inhibitor,
                     std::unique_ptr<DesktopNotifier> notifier, QObject *parent = nullptr);
    ~SessionCompanion() override;

    void sessionStarted(double sessionBytes);
    void titleStarted(double expectedBytes, double bytesStillToCome);
    void titleProgress(double currentBytes, double bytesStillToCome);
    void sessionEnded(int saved, int failed);

    SleepInhibitor *inhibitor() const { return m_inhibitor.get(); }

private:
    ProgressStrip *m_strip;
    std::unique_ptr<SleepInhibitor> m_inhibitor;
    std::unique_ptr<DesktopNotifier> m_notifier;
    double m_sessionBytes = 0;
};
