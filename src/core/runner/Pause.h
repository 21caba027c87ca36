#pragma once

#include <QEventLoop>
#include <QString>

// Waits the given number of seconds while the window stays responsive: events
// are handled, and between them the thread sleeps. Zero, negative and
// non-numeric intervals return at once without handling any event.
void Pause(double seconds);
void Pause(const QString &seconds);

// Handles pending events, then sleeps in the event loop for at most the given
// milliseconds (events arriving meanwhile are handled as they come).
void waitInEventLoop(int milliseconds, QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
