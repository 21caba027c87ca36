#include "runner/Pause.h"

#include "common/LeadingNumber.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
constexpr qint64 kSliceMs = 50;
}

void waitInEventLoop(int milliseconds, QEventLoop::ProcessEventsFlags flags)
{
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    loop.exec(flags);
}

void Pause(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        return;
    // A monotonic clock: a wait across midnight lasts as long as any other.
    QElapsedTimer clock;
    clock.start();
    const qint64 total = static_cast<qint64>(std::ceil(seconds * 1000.0));
    for (qint64 elapsed = clock.elapsed(); elapsed < total; elapsed = clock.elapsed())
        waitInEventLoop(static_cast<int>(std::min(kSliceMs, total - elapsed)));
}

void Pause(const QString &seconds)
{
    Pause(leadingNumber(seconds));
}
