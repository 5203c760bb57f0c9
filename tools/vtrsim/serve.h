#pragma once

#include "responder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The simulator's end of the serial line and the loop that answers on it. POSIX only: a
// pseudo-terminal stands in for the cable, or a real serial device is driven directly.
namespace vtrsim {

class LineEnd {
public:
    // A new pseudo-terminal. Tarnwick opens SlavePath(); we answer on the master.
    static std::unique_ptr<LineEnd> CreatePty(std::string* error);
    // A serial device, set to the protocol's speed and parity.
    static std::unique_ptr<LineEnd> OpenDevice(const std::string& path, Protocol protocol,
                                               std::string* error);
    ~LineEnd();

    LineEnd(const LineEnd&) = delete;
    LineEnd& operator=(const LineEnd&) = delete;

    int Fd() const { return m_fd; }
    // The path the other side opens: the pseudo-terminal's slave, or the device itself.
    const std::string& SlavePath() const { return m_slavePath; }

private:
    LineEnd() = default;

    int m_fd = -1;
    int m_slaveHold = -1;
    std::string m_slavePath;
};

struct ServeOptions {
    int replyDelayMs = 0; // wait before each answer, as a slow VTR would
    // When the tape started, on the steady clock in nanoseconds (SteadyNs); 0 for the moment
    // serving starts. The tape's time is counted from here, so that whoever knows it knows
    // the frame under the head at any moment.
    int64_t tapeOriginNs = 0;
    bool verbose = false; // log every exchange on stderr
    // When not empty: this file holds the count of timecode requests answered so far, as a
    // decimal line, replaced whole after each one, so that a script can wait for the count.
    std::string statusPath;
};

// The steady clock in nanoseconds, as the tape's origin is given.
int64_t SteadyNs();

// Answers on the line until stop() returns true; stop is asked at least every 50 ms. Each
// timecode answer holds the frame under the head as it goes out.
// Returns false when the line failed for good or the status file could not be written.
bool Serve(LineEnd& line, Responder& responder, const ServeOptions& options,
           const std::function<bool()>& stop);

// A responder on its own thread behind a new pseudo-terminal, for tests and benchmarks:
// open SlavePath() and talk. Stops and joins when destroyed.
class PtyResponder {
public:
    explicit PtyResponder(const ResponderConfig& config, const ServeOptions& options = {});
    ~PtyResponder();

    PtyResponder(const PtyResponder&) = delete;
    PtyResponder& operator=(const PtyResponder&) = delete;

    // Empty when the pseudo-terminal could not be made (Error() says why).
    std::string SlavePath() const;
    const std::string& Error() const { return m_error; }
    // Master side, for reading the line settings the other end has set.
    int MasterFd() const;
    int Requests() const { return m_responder.Requests(); }
    // Every Sony command word taken so far, in order (see Responder::ReceivedWords).
    std::vector<int> ReceivedWords() const { return m_responder.ReceivedWords(); }
    // When each came, on the steady clock.
    std::vector<int64_t> ReceivedAtNs() const {
        std::vector<int64_t> times = m_responder.ReceivedTimes();
        for (int64_t& t : times)
            t += m_tapeOriginNs;
        return times;
    }
    // The frame count under the head at a moment on the steady clock.
    int64_t FrameAt(int64_t steadyNs) const {
        return m_responder.FrameAt(steadyNs - m_tapeOriginNs);
    }
    // The deck's remote switch, turned while it serves.
    void SetLocal(bool local) { m_responder.SetLocal(local); }
    // When the tape started (see ServeOptions::tapeOriginNs).
    int64_t TapeOriginNs() const { return m_tapeOriginNs; }

private:
    std::unique_ptr<LineEnd> m_line;
    Responder m_responder;
    std::string m_error;
    int64_t m_tapeOriginNs = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace vtrsim
