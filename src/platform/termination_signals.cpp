#include "platform/termination_signals.h"

#if defined(Q_OS_UNIX)

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int WATCHED[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int WATCHED_COUNT = sizeof WATCHED / sizeof WATCHED[0];

int g_pipe[2] = {-1, -1};
// The watchdog's: each request as its signal's number, 0 for "the program ended by itself".
int g_watch[2] = {-1, -1};
struct sigaction g_previous[WATCHED_COUNT];
bool g_installed[WATCHED_COUNT] = {};

extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno;
    const char request = 1;
    const char number = char(signal);
    // A full pipe already holds a request; nothing else is safe to do here.
    if (::write(g_pipe[1], &request, 1) < 0) {
    }
    if (::write(g_watch[1], &number, 1) < 0) {
    }
    errno = saved;
}

bool MakePipe(int (&fds)[2]) {
    if (::pipe(fds) != 0) {
        return false;
    }
    for (int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

// The next byte on the watchdog's pipe within timeoutMs (-1: however long): a signal's number,
// 0 for the end, -1 for none in time.
int NextWatched(int timeoutMs) {
    pollfd watched{g_watch[0], POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue; // a signal came: its byte is in the pipe
        if (ready <= 0)
            return -1;
        char byte = 0;
        if (::read(g_watch[0], &byte, 1) == 1)
            return byte;
    }
}

// Ends the process as the signal's default would, from a thread where no handler intervenes.
[[noreturn]] void EndNow(int signal, const char* why) {
    // Written straight to the descriptor: the window's thread may hold the stdio locks.
    char line[160];
    const int length = std::snprintf(
        line, sizeof line, "tarnwick: %s; ended now, the list kept in its recovery copy\n", why);
    if (length > 0 && ::write(STDERR_FILENO, line, size_t(length)) < 0) {
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(128 + signal); // not reached for the signals watched, which all end a process
}

// Waits for a request, then for the program to end by itself within the grace.
void Watch(int graceMs) {
    const int signal = NextWatched(-1);
    if (signal <= 0)
        return;
    const int next = NextWatched(graceMs);
    if (next == 0)
        return;
    if (next > 0)
        EndNow(next, "asked again to end");
    EndNow(signal, "the window did not end in time");
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onRequest, int graceMs,
                                       QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {
    if (!MakePipe(g_pipe) || !MakePipe(g_watch)) {
        std::perror("tarnwick: no pipe for termination signals");
        return;
    }
    m_watchdog = std::thread(Watch, graceMs);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char drained[64];
        while (::read(g_pipe[0], drained, sizeof drained) > 0) {
        }
        m_onRequest();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < WATCHED_COUNT; ++i) {
        ::sigaction(WATCHED[i], nullptr, &g_previous[i]);
        if (g_previous[i].sa_handler != SIG_IGN) {
            g_installed[i] = ::sigaction(WATCHED[i], &action, nullptr) == 0;
        }
    }
}

TerminationSignals::~TerminationSignals() {
    for (int i = 0; i < WATCHED_COUNT; ++i) {
        if (g_installed[i]) {
            ::sigaction(WATCHED[i], &g_previous[i], nullptr);
            g_installed[i] = false;
        }
    }
    // The program ends by itself: the watchdog has nothing more to wait for.
    if (m_watchdog.joinable()) {
        const char ended = 0;
        if (::write(g_watch[1], &ended, 1) == 1) {
            m_watchdog.join();
        } else {
            m_watchdog.detach();
        }
    }
    delete m_notifier;
    for (int* fds : {g_pipe, g_watch}) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i] >= 0) {
                ::close(fds[i]);
                fds[i] = -1;
            }
        }
    }
}

#else

TerminationSignals::TerminationSignals(std::function<void()> onRequest, int, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {}

TerminationSignals::~TerminationSignals() = default;

#endif
