#pragma once

#include <QString>

#include <deque>

// The transfer rate over the last few seconds, from (time, size) samples.
class RateMeter
{
public:
    explicit RateMeter(qint64 windowMs = 5000) : m_windowMs(windowMs) {}

    void reset() { m_samples.clear(); }
    void addSample(qint64 atMs, double bytes);
    // Bytes per second over the window; 0 until two samples a little apart exist.
    double bytesPerSecond() const;

private:
    struct Sample
    {
        qint64 atMs;
        double bytes;
    };
    qint64 m_windowMs;
    std::deque<Sample> m_samples;
};

// "3.1 MB/s", "850 KB/s", "12 B/s" (decimal units).
QString rateText(double bytesPerSecond);
// "45 s left", "2 min left", "1 h 05 min left"; empty when it cannot be told.
QString timeLeftText(double bytesLeft, double bytesPerSecond);
// Whole percent done, 0..100; 0 when nothing is expected.
int percentDone(double done, double expected);
// "42 % · 3.1 MB/s · 2 min left", leaving out what is not known yet.
QString progressLine(double done, double expected, double bytesPerSecond);
