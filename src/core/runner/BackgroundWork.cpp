#include "runner/BackgroundWork.h"

#include <QEventLoop>

namespace {
thread_local QObject *t_home = nullptr; // the starting thread's, seen from a work's thread
}

BackgroundWork::BackgroundWork(std::function<void()> work)
{
    m_thread = std::thread([this, work = std::move(work)] {
        t_home = &m_home;
        work();
        m_done = true;
        QMetaObject::invokeMethod(
            &m_home,
            [this] {
                if (m_waiting)
                    m_waiting->quit();
            },
            Qt::QueuedConnection);
    });
}

BackgroundWork::~BackgroundWork()
{
    // Not a plain join: the work may still want a call run on this thread.
    wait();
}

void BackgroundWork::wait()
{
    if (!m_thread.joinable())
        return;
    if (!m_done) {
        // Quit by the work's last call, which comes after m_done is set, so it
        // cannot be missed however the two threads meet.
        QEventLoop loop;
        m_waiting = &loop;
        loop.exec();
        m_waiting = nullptr;
    }
    m_thread.join();
}

void BackgroundWork::onStartingThread(const std::function<void()> &call)
{
    if (t_home)
        QMetaObject::invokeMethod(t_home, call, Qt::BlockingQueuedConnection);
    else
        call();
}

void runInBackground(const std::function<void()> &work)
{
    BackgroundWork(work).wait();
}
