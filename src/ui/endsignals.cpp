#include "ui/endsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mirabolo::ui {

#ifdef Q_OS_UNIX

namespace {

constexpr int endSignals[] = {SIGTERM, SIGHUP};

// The handler may only write to a pipe: the event loop reads the other end.
int wakeRead = -1;
std::atomic<int> wakeWrite = -1; // lock-free, so the handler may read it
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onEndSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(QObject *parent)
    : QObject(parent)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return; // the signals keep their default: the program simply ends
    for (const int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    wakeRead = ends[0];
    wakeWrite = ends[1];
    notifier = new QSocketNotifier(wakeRead, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &EndSignals::drain);
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : endSignals)
        ::sigaction(signal, &action, nullptr);
}

EndSignals::~EndSignals()
{
    if (!notifier)
        return;
    for (const int signal : endSignals)
        ::signal(signal, SIG_DFL);
    ::close(wakeRead);
    ::close(wakeWrite.exchange(-1));
    wakeRead = -1;
}

void EndSignals::drain()
{
    char bytes[16];
    while (::read(wakeRead, bytes, sizeof bytes) > 0) { }
    Q_EMIT received();
}

#else // No such signals: the desktop ends the program by closing its window.

EndSignals::EndSignals(QObject *parent)
    : QObject(parent)
{
}

EndSignals::~EndSignals() = default;

void EndSignals::drain() { }

#endif

} // namespace mirabolo::ui
