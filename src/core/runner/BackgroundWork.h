#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

class QEventLoop;

// Long file work (reading a recording through, copying it to another disk) on
// a thread of its own, started at once. The thread that started it goes on
// handling events, so the window keeps painting and answering and a signal
// that ends the program is acted on; wait() holds it in the event loop until
// the work has ended. Ending the work waits for it too.
class BackgroundWork
{
public:
    explicit BackgroundWork(std::function<void()> work);
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    void wait();

    // From inside the work: runs `call` on the thread that started it, and
    // returns once it has run, so what it shows or changes keeps its place in
    // the work. Outside any work, runs it at once.
    static void onStartingThread(const std::function<void()> &call);

private:
    QObject m_home; // lives on the starting thread
    QEventLoop *m_waiting = nullptr;
    std::atomic_bool m_done{false};
    std::thread m_thread;
};

// Runs the work on a thread of its own and waits for it as above.
void runInBackground(const std::function<void()> &work);
