#include "runner/EndOnSignal.h"

#include "runner/RunningTools.h"

#include <QList>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t g_writeEnd = -1;

QList<QByteArray> &unfinishedFiles()
{
    static QList<QByteArray> files;
    return files;
}

extern "C" void onEndSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    if (g_writeEnd >= 0) {
        const ssize_t written = ::write(g_writeEnd, &number, 1);
        (void)written; // a full socket already holds a signal to act on
    }
    errno = savedErrno;
}

void endBySignal(int signalNumber)
{
    std::fflush(nullptr);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);
}

} // namespace

EndOnSignal::EndOnSignal(ProgramEnd end)
    : m_end(end ? std::move(end) : ProgramEnd(endBySignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0) {
        std::perror("Kelvado: cannot watch for the end signals");
        return;
    }
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndOnSignal::received);
    g_writeEnd = m_sockets[1];

    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

EndOnSignal::~EndOnSignal()
{
    if (m_sockets[0] < 0)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_writeEnd = -1;
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void EndOnSignal::received()
{
    unsigned char number = 0;
    if (::read(m_sockets[0], &number, 1) != 1)
        return;
    m_notifier->setEnabled(false); // the program is ending; later signals change nothing
    endEveryTool();
    for (const QByteArray &path : std::as_const(unfinishedFiles()))
        ::unlink(path.constData());
    unfinishedFiles().clear();
    m_end(number);
}

void EndOnSignal::removeOnEnd(const QByteArray &path)
{
    unfinishedFiles().append(path);
}

void EndOnSignal::keepOnEnd(const QByteArray &path)
{
    unfinishedFiles().removeOne(path);
}
