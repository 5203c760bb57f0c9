#pragma once

#include "timecode/timecode_value.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// Time on the steady clock, in nanoseconds: what arrival times of signals are measured in.
int64_t SteadyNowNs();

// How long a frame of a source lasts: 1/fps of a second, or 1001/1000 of that for material
// slowed down from film and colour television rates (23.976 at 24, 29.97 at 30).
constexpr int64_t FramePeriodNs(int fps, bool pulledDown) {
    return (pulledDown ? 1001000000LL : 1000000000LL) / (fps > 0 ? fps : 30);
}

// What a signal says of its rate: how its labels count, and the pace it plays at, which tells
// 23.976 from 24 and 29.97 from 30.
struct SignalRate {
    TimecodeRate rate;
    int64_t periodNs = 0;

    // Slower than its labels' frames a second by 1000/1001.
    bool PulledDown() const {
        return 2 * periodNs > FramePeriodNs(rate.Fps(), false) + FramePeriodNs(rate.Fps(), true);
    }
};

// The rate as an operator reads it: "23.976", "24", "25", "29.97 DF", "29.97 NDF", "30 DF",
// "30 NDF". At 30 the counting is said too: both show under a 30 frame list.
std::string SignalRateText(const SignalRate& rate);

// What a signal that carries its own time (LTC audio, MIDI timecode) last told: a frame and
// when it ended, so that the frame arriving at any later moment follows without asking the
// signal again. Frames are counted at the source's own rate, as the source labels them.
struct TimecodeAnchor {
    // False: what came was no usable timecode (a source winding, a label its rate lacks).
    bool valid = false;
    TimecodeRate rate; // how the source's labels count
    // Moving: frame ended at endNs and the next ones follow every periodNs. Standing (a
    // locate): frame is the time itself, until something else arrives.
    bool moving = false;
    int frame = 0;
    int64_t endNs = 0;
    int64_t periodNs = 0;  // the source's pace, standing or moving
    int64_t arrivalNs = 0; // when the signal said so
};

// A signal's time is current this long after it arrived; then the source counts as silent.
constexpr int64_t LIVE_TIMECODE_HOLD_NS = 500'000'000;
// How many frames past the last one heard are counted on. A signal that stops makes its
// frames stop; beyond this the time stands until the hold runs out.
constexpr int LIVE_TIMECODE_COAST_FRAMES = 3;

// The frame arriving at nowNs, at the source's rate; no timecode when the anchor is not valid
// or older than the hold.
Timecode AnchorTimecodeAt(const TimecodeAnchor& anchor, int64_t nowNs);

// The latest anchor, written by a reading thread and read by the user-interface thread. A
// read copies it under a lock held for nothing else, so the reader never waits on the signal.
class LiveTimecode {
public:
    void Publish(const TimecodeAnchor& anchor);
    void Clear() { Publish(TimecodeAnchor()); }
    // The frame arriving at nowNs, at the source's rate.
    Timecode ReadAt(int64_t nowNs) const;
    // The rate of the signal while its timecode is current; nothing while there is none.
    std::optional<SignalRate> RateAt(int64_t nowNs) const;

private:
    mutable std::mutex m_mutex;
    TimecodeAnchor m_anchor;
};
