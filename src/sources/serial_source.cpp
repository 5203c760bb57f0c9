#include "sources/serial_source.h"

#include "sources/live_timecode.h"

#include <QThread>

#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// Where the requests fall against an even 100 ms grid, in milliseconds, one after another:
// two further on each time, then back one millisecond apart. Each request still follows the
// one before by 98 to 102 ms (a window timer strays as far), and within 3.5 s they have met
// every millisecond of a frame, so that the readings show where the deck's frames begin.
constexpr int kSweepMs[] = {0,  2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34,
                            33, 31, 29, 27, 25, 23, 21, 19, 17, 15, 13, 11, 9,  7,  5,  3,  1};
constexpr size_t kSweepSteps = sizeof kSweepMs / sizeof kSweepMs[0];

// More readings than the phase window holds are never looked at.
constexpr size_t kMaxReadings = 256;

} // namespace

SerialSource::SerialSource(SerialLine& line, const SerialProtocol& protocol,
                           const TimecodeRate& rate)
    : m_line(line), m_protocol(protocol), m_rate(rate) {}

SerialSource::~SerialSource() {
    Close();
}

int SerialSource::Open(const char* device) {
    Close();
    if (device == nullptr || *device == '\0') {
        // Every open clears both buffers, one that fails included.
        std::memset(m_line.sendBuf, 0, sizeof m_line.sendBuf);
        std::memset(m_line.recvBuf, 0, sizeof m_line.recvBuf);
        return 0;
    }
    m_stop = false;
    m_polls = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_opened = false;
        m_openResult = 0;
        m_readings.clear();
    }
    // A QThread rather than a bare thread: the serial port sets up notifiers of its own on
    // the thread that opens it, which needs Qt's event dispatcher there (none of its events
    // is ever served: every wait on the port polls the device itself).
    m_worker.reset(QThread::create([this, name = std::string(device)] { Run(name); }));
    m_worker->start();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_opened; });
    return m_openResult;
}

void SerialSource::Close() {
    if (!m_worker)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_worker->wait();
    m_worker.reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    // What the deck said last is not carried over to the next port.
    m_readings.clear();
}

void SerialSource::PausePolling(bool paused) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = paused;
    }
    m_changed.notify_all();
}

std::vector<DeckReading> SerialSource::Readings() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<DeckReading>(m_readings.begin(), m_readings.end());
}

Timecode SerialSource::ReadTimecode() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_readings.empty() || !m_readings.back().answered)
        return Timecode();
    return DeckTimecode(m_readings.back().digits, m_rate);
}

Timecode SerialSource::LatestTimecode() {
    return TimecodeAt(SteadyNowNs()).value_or(Timecode());
}

std::optional<Timecode> SerialSource::TimecodeAt(int64_t steadyNs) {
    return DeckTimecodeAt(Readings(), steadyNs, m_rate);
}

// The worker: everything that touches the port happens here, the open and the close too,
// since the port belongs to the thread that opened it.
void SerialSource::Run(const std::string& device) {
    SerialDeck deck(m_line, m_protocol);
    deck.SetCancel(&m_stop);
    const int opened = deck.Open(device.c_str());
    const auto interval = std::chrono::milliseconds(VTR_POLL_INTERVAL_MS);
    const auto reopenInterval = std::chrono::milliseconds(VTR_REOPEN_INTERVAL_MS);
    Clock::time_point nextAttempt = Clock::now() + reopenInterval;
    Clock::time_point slot = Clock::now();
    size_t step = 0;

    std::unique_lock<std::mutex> lock(m_mutex);
    m_portOpen = deck.IsOpen();
    m_openResult = opened;
    m_opened = true;
    m_changed.notify_all();
    while (!m_stop) {
        if (m_paused) {
            m_changed.wait(lock, [this] { return m_stop || !m_paused; });
            slot = Clock::now() + interval;
            continue;
        }
        if (Clock::now() < slot) {
            m_changed.wait_until(lock, slot, [this] { return m_stop || m_paused; });
            continue;
        }
        lock.unlock();
        // As each tick did: a lost port is tried again when a second has passed since the
        // last try, and asked at once when it opens.
        if (!deck.IsOpen() && Clock::now() >= nextAttempt) {
            nextAttempt = Clock::now() + reopenInterval;
            deck.Open(device.c_str());
        }
        DeckReading reading;
        const bool asked = deck.Line().port != nullptr;
        if (asked) {
            reading.askedNs = SteadyNowNs();
            reading.answered = deck.ReadDigits(reading.digits) == 1;
            reading.answeredNs = SteadyNowNs();
        }
        lock.lock();
        if (m_stop)
            break; // cut short: nothing to tell
        m_portOpen = deck.IsOpen();
        if (asked) {
            m_readings.push_back(reading);
            while (m_readings.size() > kMaxReadings ||
                   reading.answeredNs - m_readings.front().answeredNs > DECK_PHASE_WINDOW_NS)
                m_readings.pop_front();
            ++m_polls;
        } else {
            m_readings.clear(); // no port: nothing to go on
        }
        const size_t next = (step + 1) % kSweepSteps;
        slot += interval + std::chrono::milliseconds(kSweepMs[next] - kSweepMs[step]);
        step = next;
        // A silent deck's time-out outlasts the interval: the next request goes at once,
        // and the ones after follow it, rather than a burst catching up.
        if (slot < Clock::now())
            slot = Clock::now();
    }
    lock.unlock();
    deck.Close();
    m_portOpen = false;
}
