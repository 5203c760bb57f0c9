#pragma once

#include "responder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct LTCEncoder;

// The timecode a source that needs no asking sends down its cable, from the same tape clock
// as the VTR: LTC audio (48 kHz, 16-bit signed little-endian, mono, raw) or MIDI timecode
// bytes. POSIX only: it is written to a file or FIFO in real time.
namespace vtrsim {

enum class SignalKind { Ltc, Mtc };

struct SignalConfig {
    SignalKind kind = SignalKind::Ltc;
    TapeClock tape;     // a still tape sends silence (LTC) or one locate message (MTC)
    bool noise = false; // noise instead of the signal
};

constexpr int LTC_SAMPLE_RATE = 48000;

// LTC of a running tape, one frame after another from its start label, at the tape's pace:
// 2002 samples a frame at 23.976 frames a second, 2000 at 24, 1920 at 25, 1601.6 at 29.97,
// 1600 at 30.
class LtcSignal {
public:
    explicit LtcSignal(const TapeClock& tape);
    ~LtcSignal();
    LtcSignal(const LtcSignal&) = delete;
    LtcSignal& operator=(const LtcSignal&) = delete;

    // Appends the next count samples.
    void Next(size_t count, std::vector<int16_t>* out);

private:
    LTCEncoder* m_encoder = nullptr;
    std::vector<int16_t> m_frame; // samples of the frame being sent
    size_t m_sent = 0;            // of those, already given out
};

// The two bytes of quarter frame q (counted from 0 at the start): piece q % 8 of the time of
// frame 2 × (q / 8) after the start label, with the rate code of the tape's labels (24 for
// 23.976). Quarter q goes out q / 4 frames after the start.
std::vector<uint8_t> MtcQuarterFrame(const TapeClock& tape, long long quarter);
// The full-frame message F0 7F 7F 01 01 hh mm ss ff F7 for the tape's start label.
std::vector<uint8_t> MtcFullFrame(const TapeClock& tape);

// Writes the signal to path in real time until stop() returns true; stop is asked at least
// every 10 ms. The signal starts at startNs on the steady clock and goes on whether or not
// anyone listens, as on a cable: a FIFO is opened whenever a reader is there, again after a
// reader has gone, and what a full FIFO cannot take is lost. Another path is created or
// emptied and written to. Returns false, with error, when the path cannot be written.
bool SendSignal(const std::string& path, const SignalConfig& config, int64_t startNs,
                const std::function<bool()>& stop, std::string* error);

// The signal sent on a thread of its own, for tests and benchmarks. Stops when destroyed.
class SignalSender {
public:
    SignalSender(const std::string& path, const SignalConfig& config);
    ~SignalSender();
    SignalSender(const SignalSender&) = delete;
    SignalSender& operator=(const SignalSender&) = delete;

    // When the signal started, on the steady clock: the frame sent at any moment follows
    // from it and the tape clock.
    int64_t StartNs() const { return m_startNs; }

private:
    int64_t m_startNs = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace vtrsim
