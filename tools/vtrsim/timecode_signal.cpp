#include "timecode_signal.h"

#include "timecode/timecode_value.h"

#include <ltc.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vtrsim {

namespace {

constexpr auto SLICE = std::chrono::milliseconds(5);
// Writes of at most this many bytes go into a FIFO whole or not at all, so a sample is
// never split by a full FIFO.
constexpr size_t ATOMIC_WRITE = 4096;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Label(const TapeClock& tape, long long advance, int* h, int* m, int* s, int* f) {
    const TimecodeLabel label =
        Timecode::AtFrame(int64_t(tape.startFrames) + advance, tape.Rate()).Label();
    *h = label.hours;
    *m = label.minutes;
    *s = label.seconds;
    *f = label.frames;
}

// The other end of the cable: a FIFO that readers come to and leave, or a file.
class Output {
public:
    ~Output() { Close(); }

    bool Start(const std::string& path, std::string* error) {
        m_path = path;
        struct stat st = {};
        m_fifo = ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
        if (m_fifo)
            return true;
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (m_fd < 0)
            *error = path + ": " + std::strerror(errno);
        return m_fd >= 0;
    }

    // True when a reader has just come; a file has one from the start.
    bool Connect() {
        if (!m_fifo) {
            const bool first = !m_started;
            m_started = true;
            return first;
        }
        if (m_fd >= 0)
            return false;
        // Fails with ENXIO while nobody reads.
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        return m_fd >= 0;
    }

    void Write(const uint8_t* data, size_t size) {
        while (m_fd >= 0 && size > 0) {
            const size_t chunk = std::min(size, ATOMIC_WRITE);
            const ssize_t n = ::write(m_fd, data, chunk);
            if (n < 0 && errno == EPIPE && m_fifo)
                Close(); // the reader has gone; the next one is waited for
            if (n < 0 && errno == EINTR)
                continue;
            // A FIFO that is full (EAGAIN) loses the rest, as a cable nobody listens to.
            if (n <= 0)
                return;
            data += n;
            size -= size_t(n);
        }
    }

private:
    void Close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    std::string m_path;
    bool m_fifo = false;
    bool m_started = false;
    int m_fd = -1;
};

// MIDI's rate code: 0 24, 1 25, 2 29.97 drop-frame, 3 30 frames a second. 23.976 says 24.
int MtcRateCode(const TapeClock& tape) {
    const TimecodeRate rate = tape.Rate();
    return rate.Fps() == 24 ? 0 : rate.Fps() == 25 ? 1 : rate.DropFrame() ? 2 : 3;
}

// The television standard libltc shapes the signal for: the 625-line one at 25 frames, film
// at 24, the 525-line one at 30.
LTC_TV_STANDARD StandardOf(const TapeClock& tape) {
    const int fps = tape.Rate().Fps();
    return fps == 25 ? LTC_TV_625_50 : fps == 24 ? LTC_TV_FILM_24 : LTC_TV_525_60;
}

class Noise {
public:
    uint8_t Next() {
        // xorshift32: repeatable noise, so a run can be told again.
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return uint8_t(m_state);
    }

private:
    uint32_t m_state = 0x2545F491;
};

} // namespace

LtcSignal::LtcSignal(const TapeClock& tape)
    : m_encoder(ltc_encoder_create(LTC_SAMPLE_RATE,
                                   tape.Rate().Fps() * (tape.Slowed() ? 1000.0 / 1001.0 : 1.0),
                                   StandardOf(tape), 0)) {
    int h = 0, m = 0, s = 0, f = 0;
    Label(tape, 0, &h, &m, &s, &f);
    SMPTETimecode start = {};
    std::strcpy(start.timezone, "+0000");
    start.hours = uint8_t(h);
    start.mins = uint8_t(m);
    start.secs = uint8_t(s);
    start.frame = uint8_t(f);
    ltc_encoder_set_timecode(m_encoder, &start);
    // The encoder guesses the drop-frame bit from the pace; the tape's labels say it.
    LTCFrame frame;
    ltc_encoder_get_frame(m_encoder, &frame);
    frame.dfbit = tape.Rate().DropFrame() ? 1 : 0;
    ltc_encoder_set_frame(m_encoder, &frame);
}

LtcSignal::~LtcSignal() {
    ltc_encoder_free(m_encoder);
}

void LtcSignal::Next(size_t count, std::vector<int16_t>* out) {
    while (count > 0) {
        if (m_sent == m_frame.size()) {
            ltc_encoder_encode_frame(m_encoder);
            ltcsnd_sample_t* buffer = nullptr;
            const int n = ltc_encoder_get_bufferptr(m_encoder, &buffer, 1);
            m_frame.resize(size_t(std::max(n, 0)));
            for (size_t i = 0; i < m_frame.size(); ++i)
                m_frame[i] = int16_t((int(buffer[i]) - 128) * 256);
            m_sent = 0;
            ltc_encoder_inc_timecode(m_encoder);
        }
        const size_t take = std::min(count, m_frame.size() - m_sent);
        out->insert(out->end(), m_frame.begin() + long(m_sent),
                    m_frame.begin() + long(m_sent + take));
        m_sent += take;
        count -= take;
    }
}

std::vector<uint8_t> MtcQuarterFrame(const TapeClock& tape, long long quarter) {
    int h = 0, m = 0, s = 0, f = 0;
    Label(tape, 2 * (quarter / 8), &h, &m, &s, &f);
    const int rate = MtcRateCode(tape);
    const int piece = int(quarter % 8);
    const int values[8] = {f & 0x0F, f >> 4, s & 0x0F, s >> 4,
                           m & 0x0F, m >> 4, h & 0x0F, (h >> 4) | rate << 1};
    return {0xF1, uint8_t(piece << 4 | values[piece])};
}

std::vector<uint8_t> MtcFullFrame(const TapeClock& tape) {
    int h = 0, m = 0, s = 0, f = 0;
    Label(tape, 0, &h, &m, &s, &f);
    const int rate = MtcRateCode(tape);
    return {0xF0,       0x7F,       0x7F,       0x01, 0x01, uint8_t(rate << 5 | h),
            uint8_t(m), uint8_t(s), uint8_t(f), 0xF7};
}

bool SendSignal(const std::string& path, const SignalConfig& config, int64_t startNs,
                const std::function<bool()>& stop, std::string* error) {
    // A reader that goes away must not end the program: the write reports EPIPE instead.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    Output output;
    if (!output.Start(path, error))
        return false;
    const bool ltc = config.kind == SignalKind::Ltc;
    LtcSignal signal(config.tape);
    Noise noise;
    // Four quarter frames a frame.
    const int quartersPerSecond = 4 * config.tape.Rate().Fps();
    const int64_t microsPerSecond = config.tape.Slowed() ? 1001000 : 1000000;
    const int64_t quarterNs = microsPerSecond * 1000 / quartersPerSecond;
    long long sent = 0; // samples, or quarter frames
    std::vector<int16_t> samples;
    std::vector<uint8_t> bytes;
    while (!stop()) {
        const bool connected = output.Connect();
        const int64_t elapsed = NowNs() - startNs;
        bytes.clear();
        if (ltc) {
            const long long due = elapsed / 1000 * LTC_SAMPLE_RATE / 1000000;
            samples.clear();
            if (config.noise) {
                for (long long i = sent; i < due; ++i)
                    samples.push_back(int16_t(int16_t(noise.Next() << 8 | noise.Next()) / 2));
            } else if (!config.tape.running) {
                samples.resize(size_t(std::max(0LL, due - sent)), 0);
            } else if (due > sent) {
                signal.Next(size_t(due - sent), &samples);
            }
            sent = std::max(sent, due);
            // Little-endian on every machine this runs on; the bytes go out as they lie.
            const auto* raw = reinterpret_cast<const uint8_t*>(samples.data());
            bytes.assign(raw, raw + samples.size() * 2);
        } else if (!config.tape.running) {
            // A stopped source says where it stands once, as after a locate, to every reader.
            if (connected)
                bytes = config.noise ? std::vector<uint8_t>{noise.Next(), noise.Next()}
                                     : MtcFullFrame(config.tape);
        } else {
            const long long due = elapsed / 1000 * quartersPerSecond / microsPerSecond + 1;
            for (; sent < due; ++sent) {
                const std::vector<uint8_t> quarter =
                    config.noise ? std::vector<uint8_t>{noise.Next(), noise.Next()}
                                 : MtcQuarterFrame(config.tape, sent);
                bytes.insert(bytes.end(), quarter.begin(), quarter.end());
            }
        }
        output.Write(bytes.data(), bytes.size());
        auto next = std::chrono::steady_clock::now() + SLICE;
        if (!ltc && config.tape.running) {
            const auto quarterAt = std::chrono::steady_clock::time_point(
                std::chrono::nanoseconds(startNs + sent * quarterNs));
            next = std::min(next, quarterAt);
        }
        std::this_thread::sleep_until(next);
    }
    return true;
}

SignalSender::SignalSender(const std::string& path, const SignalConfig& config)
    : m_startNs(NowNs()) {
    m_thread = std::thread([this, path, config] {
        std::string error;
        SendSignal(
            path, config, m_startNs, [this] { return m_stop.load(); }, &error);
    });
}

SignalSender::~SignalSender() {
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace vtrsim
