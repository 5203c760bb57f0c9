#include "platform/termination_signals.h"

#if defined(Q_OS_UNIX)

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int WATCHED[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int WATCHED_COUNT = sizeof WATCHED / sizeof WATCHED[0];

int g_pipe[2] = {-1, -1};
struct sigaction g_previous[WATCHED_COUNT];
bool g_installed[WATCHED_COUNT] = {};

extern "C" void OnTerminationSignal(int) {
    const int saved = errno;
    const char request = 1;
    // A full pipe already holds a request; nothing else is safe to do here.
    if (::write(g_pipe[1], &request, 1) < 0) {
    }
    errno = saved;
}

bool MakePipe() {
    if (::pipe(g_pipe) != 0) {
        return false;
    }
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {
    if (!MakePipe()) {
        std::perror("tarnwick: no pipe for termination signals");
        return;
    }
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
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

#else

TerminationSignals::TerminationSignals(std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_onRequest(std::move(onRequest)) {}

TerminationSignals::~TerminationSignals() = default;

#endif
