#include "sources/serial_source.h"

#include "sources/deck_rate.h"
#include "sources/live_timecode.h"
#include "sources/sony9pin.h"
#include "sources/sony9pin_transport.h"

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

// Requests of one kind replace each other while they wait: a cue replaces a cue, whether it
// plays afterwards or not.
bool SameKind(TransportVerb a, TransportVerb b) {
    const auto kind = [](TransportVerb v) {
        return v == TransportVerb::CueThenPlay ? TransportVerb::CueTo : v;
    };
    return kind(a) == kind(b);
}

bool IsCue(TransportVerb verb) {
    return verb == TransportVerb::CueTo || verb == TransportVerb::CueThenPlay;
}

// The speed the deck is asked for once the request is put into speed data.
double SpeedSent(const TransportRequest& request) {
    if (request.verb != TransportVerb::Shuttle && request.verb != TransportVerb::Jog)
        return 0.0;
    const double speed = SonySpeedOf(SonySpeedData(request.speed));
    return request.speed < 0 ? -speed : speed;
}

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
        // Another port may hold another deck.
        m_requests.clear();
        m_state = TransportState();
        m_cueing = m_playAfterCue = false;
        m_paceRate.reset();
        m_labelFps.reset();
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

bool SerialSource::SpeaksSony() const {
    return m_protocol.readTimecode == SONY_9PIN.readTimecode;
}

Transport* SerialSource::GetTransport() {
    return SpeaksSony() ? this : nullptr;
}

bool SerialSource::Offers(TransportVerb /*verb*/) const {
    // The deck has a command for every verb; whether it obeys shows in its answer and status.
    return SpeaksSony();
}

void SerialSource::Request(const TransportRequest& request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_worker || !SpeaksSony()) {
            m_state.reply = TransportReply::Silent;
            m_state.changedNs = SteadyNowNs();
            return;
        }
        for (auto it = m_requests.begin(); it != m_requests.end();) {
            if (SameKind(it->verb, request.verb))
                it = m_requests.erase(it);
            else
                ++it;
        }
        m_requests.push_back(request);
        // Whatever the operator asks next, the deck is not to play by itself after a cue.
        if (!IsCue(request.verb))
            m_playAfterCue = false;
    }
    m_changed.notify_all();
}

TransportState SerialSource::State() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

std::optional<SignalRate> SerialSource::HeardRate() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<SignalRate> heard = m_paceRate;
    // Labels tell only a least rate: they count when the list's rate lacks them, and over a
    // pace whose rate lacks them too (the deck's rate changed since).
    if (m_labelFps && *m_labelFps > m_rate.Fps() && (!heard || heard->rate.Fps() < *m_labelFps))
        heard = SignalRate{TimecodeRate{*m_labelFps, false}, FramePeriodNs(*m_labelFps, false)};
    if (!heard || heard->rate.Fps() == m_rate.Fps())
        return std::nullopt;
    return heard;
}

void SerialSource::NoteRate() {
    const std::vector<DeckReading> readings(m_readings.begin(), m_readings.end());
    const std::optional<SignalRate> pace = DeckPaceRate(readings);
    const std::optional<int> labels = DeckLabelFps(readings);
    if (pace) {
        m_paceRate = pace;
        m_labelFps = labels;
    } else if (labels && *labels > m_labelFps.value_or(0)) {
        m_labelFps = labels;
    }
}

void SerialSource::SetState(TransportMode mode, double speed) {
    if (mode == m_state.mode && speed == m_state.speed)
        return;
    m_state.mode = mode;
    m_state.speed = speed;
    m_state.changedNs = SteadyNowNs();
}

void SerialSource::NoteAnswer(const TransportRequest& request, int answerKind, int nakBits,
                              double speedSent) {
    m_state.changedNs = SteadyNowNs();
    m_state.nakBits = 0;
    switch (answerKind) {
    case SonyAnswer::Ack:
        m_state.reply = TransportReply::Ack;
        break;
    case SonyAnswer::Nak:
        m_state.reply = TransportReply::Nak;
        m_state.nakBits = nakBits;
        return;
    default:
        // Garbled is as good as silent: the deck said nothing that can be read.
        m_state.reply = TransportReply::Silent;
        return;
    }
    m_cueing = IsCue(request.verb);
    if (m_cueing) {
        m_playAfterCue = request.verb == TransportVerb::CueThenPlay;
        m_cueSentNs = SteadyNowNs();
        m_cueLeft = false;
        m_cueTarget = request.at;
        SetState(TransportMode::Cueing, 0.0);
    }
    if (request.verb == TransportVerb::Shuttle || request.verb == TransportVerb::Jog ||
        request.verb == TransportVerb::Still)
        m_speed = speedSent;
}

void SerialSource::NoteStatus(const unsigned char* bytes) {
    const SonyStatus s = ParseSonyStatus(bytes, SONY_STATUS_BYTES);
    m_state.servoLock = s.servoLock;
    if (m_cueing) {
        const bool latest = !m_readings.empty() && m_readings.back().answered &&
                            DeckTimecode(m_readings.back().digits, m_rate) == m_cueTarget;
        // A deck may still show the last cue's arrival just after the new cue went out; the
        // arrival counts once it has been seen gone, or the tape stands on the frame.
        if (s.cueUp && (m_cueLeft || latest)) {
            m_cueing = false;
            if (m_playAfterCue)
                m_requests.push_front(TransportRequest{TransportVerb::Play, 0.0, Timecode()});
            m_playAfterCue = false;
        } else if (!s.cueUp) {
            m_cueLeft = true;
        }
        if (SteadyNowNs() - m_cueSentNs > int64_t(VTR_CUE_GIVE_UP_MS) * 1'000'000)
            m_cueing = m_playAfterCue = false;
    }
    const bool moving =
        s.play || s.fastForward || s.rewind || ((s.shuttle || s.jog || s.var) && !s.still);
    const double size = m_speed < 0 ? -m_speed : m_speed;
    const double speed = s.reverse ? -size : size;
    if (s.tapeOut || s.eject)
        SetState(TransportMode::TapeOut, 0.0);
    else if (s.local)
        SetState(TransportMode::Local, 0.0);
    else if (s.cueUp && !moving && !m_cueing)
        SetState(TransportMode::CueDone, 0.0);
    else if (m_cueing)
        SetState(TransportMode::Cueing, 0.0);
    else if (s.still)
        SetState(TransportMode::Still, 0.0);
    else if (s.shuttle || s.var)
        SetState(TransportMode::Shuttle, speed);
    else if (s.jog)
        SetState(TransportMode::Jog, speed);
    else if (s.play)
        SetState(TransportMode::Play, 1.0);
    else if (s.fastForward)
        SetState(TransportMode::FastForward, 0.0);
    else if (s.rewind)
        SetState(TransportMode::Rewind, 0.0);
    else if (s.stop && !s.standby)
        // Stopped with the drum at rest: the deck needs its standby on before it can play
        // at once.
        SetState(TransportMode::Standby, 0.0);
    else
        SetState(TransportMode::Stop, 0.0);
}

// The worker: everything that touches the port happens here, the open and the close too,
// since the port belongs to the thread that opened it. The time requests keep their grid; a
// transport request goes out as soon as the exchange on the line has ended, and the status
// sense fills the gaps.
void SerialSource::Run(const std::string& device) {
    SerialDeck deck(m_line, m_protocol);
    deck.SetCancel(&m_stop);
    const int opened = deck.Open(device.c_str());
    const bool sony = SpeaksSony();
    const auto interval = std::chrono::milliseconds(VTR_POLL_INTERVAL_MS);
    const auto reopenInterval = std::chrono::milliseconds(VTR_REOPEN_INTERVAL_MS);
    Clock::time_point nextAttempt = Clock::now() + reopenInterval;
    Clock::time_point slot = Clock::now();
    // Half way between two time requests.
    Clock::time_point statusDue = Clock::now() + interval / 2;
    size_t step = 0;
    bool lastWasTime = false;

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
        const Clock::time_point now = Clock::now();
        const bool commandDue = sony && !m_requests.empty();
        const bool senseDue = sony && now >= statusDue;
        // A silent deck's time requests run late for good; a command or a status sense still
        // gets its turn after each one.
        const bool timeFirst = now >= slot && !lastWasTime;
        if (now < slot && !commandDue && !senseDue) {
            m_changed.wait_until(lock, sony ? std::min(slot, statusDue) : slot, [&] {
                return m_stop || m_paused || (sony && !m_requests.empty());
            });
            continue;
        }
        if (!timeFirst && commandDue) {
            lastWasTime = false;
            const TransportRequest request = m_requests.front();
            m_requests.pop_front();
            lock.unlock();
            const SonyAnswer answer = SonyTransportExchange(deck.Line(), SonyRequestBlock(request));
            lock.lock();
            if (m_stop)
                break;
            NoteAnswer(request, answer.kind, answer.nakBits, SpeedSent(request));
            statusDue =
                std::min(statusDue, Clock::now() + std::chrono::milliseconds(VTR_STATUS_SOON_MS));
            continue;
        }
        if (!timeFirst && senseDue) {
            lastWasTime = false;
            lock.unlock();
            const SonyAnswer answer = SonyTransportExchange(deck.Line(), SonyStatusSenseBlock());
            lock.lock();
            if (m_stop)
                break;
            if (answer.kind == SonyAnswer::Status)
                NoteStatus(answer.status);
            // A deck that does not answer is asked seldom, so that its time-outs do not slow
            // the time requests down much further.
            const int next = answer.kind == SonyAnswer::Silent ? VTR_STATUS_SILENT_MS
                             : m_cueing                        ? VTR_STATUS_SOON_MS
                                                               : VTR_STATUS_INTERVAL_MS;
            statusDue = Clock::now() + std::chrono::milliseconds(next);
            continue;
        }
        lastWasTime = true;
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
            NoteRate();
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
