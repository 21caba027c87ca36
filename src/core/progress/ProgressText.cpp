#include "progress/ProgressText.h"

#include <QStringList>

#include <cmath>

void RateMeter::addSample(qint64 atMs, double bytes)
{
    // A file that shrank (rewritten from the start) begins a new measurement.
    if (!m_samples.empty() && (bytes < m_samples.back().bytes || atMs < m_samples.back().atMs))
        m_samples.clear();
    m_samples.push_back({atMs, bytes});
    while (m_samples.size() > 2 && m_samples.back().atMs - m_samples[1].atMs >= m_windowMs)
        m_samples.pop_front();
}

double RateMeter::bytesPerSecond() const
{
    if (m_samples.size() < 2)
        return 0;
    const Sample &first = m_samples.front();
    const Sample &last = m_samples.back();
    const qint64 spanMs = last.atMs - first.atMs;
    if (spanMs < 200)
        return 0;
    return (last.bytes - first.bytes) * 1000.0 / double(spanMs);
}

QString rateText(double bytesPerSecond)
{
    if (!(bytesPerSecond > 0))
        return QStringLiteral("0 B/s");
    if (bytesPerSecond >= 1e6)
        return QString::number(bytesPerSecond / 1e6, 'f', 1) + QStringLiteral(" MB/s");
    if (bytesPerSecond >= 1e3)
        return QString::number(std::round(bytesPerSecond / 1e3), 'f', 0) + QStringLiteral(" KB/s");
    return QString::number(std::round(bytesPerSecond), 'f', 0) + QStringLiteral(" B/s");
}

QString timeLeftText(double bytesLeft, double bytesPerSecond)
{
    if (!(bytesPerSecond > 0) || !(bytesLeft >= 0) || !std::isfinite(bytesLeft))
        return {};
    const double seconds = std::ceil(bytesLeft / bytesPerSecond);
    if (seconds > 99 * 3600.0)
        return {};
    if (seconds < 60)
        return QStringLiteral("%1 s left").arg(qint64(seconds));
    const qint64 minutes = qint64(std::ceil(seconds / 60));
    if (minutes < 60)
        return QStringLiteral("%1 min left").arg(minutes);
    return QStringLiteral("%1 h %2 min left").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int percentDone(double done, double expected)
{
    if (!(expected > 0) || !(done > 0))
        return 0;
    if (done >= expected)
        return 100;
    return int(std::floor(done * 100.0 / expected));
}

QString progressLine(double done, double expected, double bytesPerSecond)
{
    QStringList parts;
    if (expected > 0)
        parts << QStringLiteral("%1 %").arg(percentDone(done, expected));
    if (bytesPerSecond > 0) {
        parts << rateText(bytesPerSecond);
        if (expected > 0) {
            const QString left = timeLeftText(expected - std::min(done, expected), bytesPerSecond);
            if (!left.isEmpty())
                parts << left;
        }
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}
