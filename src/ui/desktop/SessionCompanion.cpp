#include "desktop/SessionCompanion.h"

#include "desktop/DesktopNotifier.h"
#include "desktop/SleepInhibitor.h"
#include "progress/ProgressStrip.h"

#include <utility>

SessionCompanion::SessionCompanion(ProgressStrip *strip, std::unique_ptr<SleepInhibitor> inhibitor,
                                   std::unique_ptr<DesktopNotifier> notifier, QObject *parent)
    : QObject(parent)
    , m_strip(strip)
    , m_inhibitor(std::move(inhibitor))
    , m_notifier(std::move(notifier))
{
}

SessionCompanion::~SessionCompanion() = default;

void SessionCompanion::sessionStarted(double sessionBytes)
{
    m_sessionBytes = sessionBytes;
    if (m_inhibitor)
        m_inhibitor->acquireForDownloads();
}

void SessionCompanion::titleStarted(double expectedBytes, double bytesStillToCome)
{
    if (!m_strip)
        return;
    m_strip->titleStarted(expectedBytes);
    m_strip->sessionProgress(m_sessionBytes - bytesStillToCome, m_sessionBytes);
}

void SessionCompanion::titleProgress(double currentBytes, double bytesStillToCome)
{
    if (!m_strip)
        return;
    m_strip->titleProgress(currentBytes);
    m_strip->sessionProgress(m_sessionBytes - bytesStillToCome, m_sessionBytes);
}

void SessionCompanion::sessionEnded(int saved, int failed)
{
    if (m_strip)
        m_strip->clear();
    if (m_inhibitor)
        m_inhibitor->release();
    if (m_notifier)
        m_notifier->sessionEnded(saved, failed);
}
