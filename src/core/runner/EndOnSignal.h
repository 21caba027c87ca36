#pragma once

#include <QByteArray>
#include <QObject>

#include <csignal>
#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the program in order: every running tool is
// ended (asked first, killed after a short grace), every file is kept as it
// is but the program's own unfinished copies, and then the program ends. The signal handler only writes the signal's
// number to a socket; the rest runs from the event loop, where Qt may be used.
// One at a time; the handlers in place before are back once it goes.
class EndOnSignal : public QObject
{
    Q_OBJECT

public:
    // What ends the program once the tools have ended. By default the program
    // ends by the signal it received, as it would have without this.
    using ProgramEnd = std::function<void(int signalNumber)>;

    explicit EndOnSignal(ProgramEnd end = {});
    ~EndOnSignal() override;
    EndOnSignal(const EndOnSignal &) = delete;
    EndOnSignal &operator=(const EndOnSignal &) = delete;

    // A file of the program's own that is worth nothing unfinished (a copy
    // not yet given its name): removed when a signal ends the program.
    static void removeOnEnd(const QByteArray &path);
    static void keepOnEnd(const QByteArray &path);

private:
    void received();

    ProgramEnd m_end;
    int m_sockets[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[3];
};
