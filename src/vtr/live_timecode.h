#pragma once

#include "timecode/timecode_value.h"

#include <cstdint>
#include <mutex>

// Time on the steady clock, in nanoseconds: what arrival times of signals are measured in.
int64_t SteadyNowNs();

// A frame lasts 1/29.97 s in drop-frame counting, whose labels were made for that rate, and
// 1/30 s in non-drop.
constexpr int64_t FramePeriodNs(bool drop) {
    return drop ? 1001000000LL / 30 : 1000000000LL / 30;
}

// What a signal that carries its own time (LTC audio, MIDI timecode) last told: a frame and
// when it ended, so that the frame arriving at any later moment follows without asking the
// signal again. Frames are counted at 30 a second, drop-frame or non-drop as the source
// labels them.
struct TimecodeAnchor {
    bool valid = false; // false: what came was no usable timecode (a refused frame rate)
    bool drop = false;
    // Moving: frame ended at endNs and the next ones follow every periodNs. Standing (a
    // locate): frame is the time itself, until something else arrives.
    bool moving = false;
    int frame = 0;
    int64_t endNs = 0;
    int64_t periodNs = 0;
    int64_t arrivalNs = 0; // when the signal said so
};

// A signal's time is current this long after it arrived; then the source counts as silent.
constexpr int64_t LIVE_TIMECODE_HOLD_NS = 500'000'000;
// How many frames past the last one heard are counted on. A signal that stops makes its
// frames stop; beyond this the time stands until the hold runs out.
constexpr int LIVE_TIMECODE_COAST_FRAMES = 3;

// The frame arriving at nowNs; no timecode when the anchor is not valid or older than the
// hold.
Timecode AnchorTimecodeAt(const TimecodeAnchor& anchor, int64_t nowNs);

// The latest anchor, written by a reading thread and read by the user-interface thread. A
// read copies it under a lock held for nothing else, so the reader never waits on the signal.
class LiveTimecode {
public:
    void Publish(const TimecodeAnchor& anchor);
    void Clear() { Publish(TimecodeAnchor()); }
    Timecode ReadAt(int64_t nowNs) const;

private:
    mutable std::mutex m_mutex;
    TimecodeAnchor m_anchor;
};
