#include "serve.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vtrsim {

namespace {

constexpr int POLL_SLICE_MS = 50;

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void LogBytes(const char* direction, const std::vector<uint8_t>& bytes, size_t size) {
    std::fprintf(stderr, "%s", direction);
    for (size_t i = 0; i < size; ++i)
        std::fprintf(stderr, " %02X", bytes[i]);
    std::fprintf(stderr, "\n");
}

// Writes everything or gives up after a second: a reader that has stopped reading must not
// wedge the simulator.
void WriteAll(int fd, const uint8_t* data, size_t size) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (size > 0 && std::chrono::steady_clock::now() < until) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p = {fd, POLLOUT, 0};
            ::poll(&p, 1, POLL_SLICE_MS);
        }
    }
}

// Replaces the status file through a temporary one and a rename, so that a reader never
// sees it half written. False, with errno set, when it cannot be written.
bool WriteStatus(const std::string& path, int served) {
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    char text[16];
    const int size = std::snprintf(text, sizeof text, "%d\n", served);
    const bool written = ::write(fd, text, size_t(size)) == size;
    ::close(fd);
    return written && ::rename(temp.c_str(), path.c_str()) == 0;
}

} // namespace

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::unique_ptr<LineEnd> LineEnd::CreatePty(std::string* error) {
    std::unique_ptr<LineEnd> line(new LineEnd);
    line->m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line->m_fd < 0) {
        *error = SystemError("posix_openpt");
        return nullptr;
    }
    char name[128] = {};
    if (::grantpt(line->m_fd) != 0 || ::unlockpt(line->m_fd) != 0 ||
        ::ptsname_r(line->m_fd, name, sizeof name) != 0) {
        *error = SystemError("pseudo-terminal");
        return nullptr;
    }
    line->m_slavePath = name;
    // Holding the slave open ourselves keeps the master from reporting a hang-up whenever
    // Tarnwick has the port closed, which would turn the poll below into a busy loop.
    line->m_slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line->m_slaveHold < 0) {
        *error = SystemError(name);
        return nullptr;
    }
    // Raw from the start: a fresh pseudo-terminal echoes and edits lines, and whoever opens
    // it without setting it up (or closes it and so restores these settings) gets it raw.
    termios tio = {};
    if (::tcgetattr(line->m_slaveHold, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(line->m_slaveHold, TCSANOW, &tio);
    }
    return line;
}

std::unique_ptr<LineEnd> LineEnd::OpenDevice(const std::string& path, Protocol protocol,
                                             std::string* error) {
    std::unique_ptr<LineEnd> line(new LineEnd);
    line->m_slavePath = path;
    line->m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line->m_fd < 0) {
        *error = SystemError(path.c_str());
        return nullptr;
    }
    termios tio = {};
    if (::tcgetattr(line->m_fd, &tio) != 0) {
        *error = SystemError(path.c_str());
        return nullptr;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | CRTSCTS | PARENB | PARODD);
    if (protocol == Protocol::Sony) {
        tio.c_cflag |= PARENB | PARODD;
        ::cfsetspeed(&tio, B38400);
    } else {
        ::cfsetspeed(&tio, B9600);
    }
    if (::tcsetattr(line->m_fd, TCSANOW, &tio) != 0) {
        *error = SystemError(path.c_str());
        return nullptr;
    }
    ::tcflush(line->m_fd, TCIOFLUSH);
    return line;
}

LineEnd::~LineEnd() {
    if (m_slaveHold >= 0)
        ::close(m_slaveHold);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool Serve(LineEnd& line, Responder& responder, const ServeOptions& options,
           const std::function<bool()>& stop) {
    const int64_t origin = options.tapeOriginNs != 0 ? options.tapeOriginNs : SteadyNs();
    std::vector<uint8_t> received(256);
    std::vector<uint8_t> reply;
    int reported = responder.Requests();
    if (!options.statusPath.empty() && !WriteStatus(options.statusPath, reported)) {
        std::perror(options.statusPath.c_str());
        return false;
    }
    while (!stop()) {
        pollfd p = {line.Fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, POLL_SLICE_MS);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (ready == 0)
            continue;
        const ssize_t n = ::read(line.Fd(), received.data(), received.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0) {
            // A device that went away (or a pty nobody holds) reports this without end;
            // wait for it to come back instead of spinning.
            if (p.revents & (POLLHUP | POLLERR))
                ::usleep(POLL_SLICE_MS * 1000);
            continue;
        }
        // The answer tells the frame under the head when it goes out, after the delay of a
        // slow VTR: it is built for that moment, and waited for.
        const int64_t answerAt = SteadyNs() + int64_t(options.replyDelayMs) * 1'000'000;
        reply.clear();
        responder.Receive(received.data(), size_t(n), answerAt - origin, &reply);
        if (options.verbose)
            LogBytes("<-", received, size_t(n));
        if (!reply.empty()) {
            for (int64_t left = answerAt - SteadyNs(); left > 0; left = answerAt - SteadyNs())
                ::usleep(useconds_t(left / 1000));
            WriteAll(line.Fd(), reply.data(), reply.size());
            if (options.verbose)
                LogBytes("->", reply, reply.size());
        }
        // Counted once the answer is on the line (a silent fault answers nothing).
        if (!options.statusPath.empty() && responder.Requests() != reported) {
            reported = responder.Requests();
            if (!WriteStatus(options.statusPath, reported)) {
                std::perror(options.statusPath.c_str());
                return false;
            }
        }
    }
    return true;
}

PtyResponder::PtyResponder(const ResponderConfig& config, const ServeOptions& given)
    : m_responder(config) {
    ServeOptions options = given;
    if (options.tapeOriginNs == 0)
        options.tapeOriginNs = SteadyNs();
    m_tapeOriginNs = options.tapeOriginNs;
    m_line = LineEnd::CreatePty(&m_error);
    if (!m_line)
        return;
    m_thread = std::thread([this, options] {
        Serve(*m_line, m_responder, options, [this] { return m_stop.load(); });
    });
}

PtyResponder::~PtyResponder() {
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

std::string PtyResponder::SlavePath() const {
    return m_line ? m_line->SlavePath() : std::string();
}

int PtyResponder::MasterFd() const {
    return m_line ? m_line->Fd() : -1;
}

} // namespace vtrsim
