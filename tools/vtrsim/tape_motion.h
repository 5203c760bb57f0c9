#pragma once

#include "responder.h"

#include <cstdint>

// How the simulated deck's tape moves under the transport commands it is sent: play, still,
// winding and shuttling at a speed, single frames, and cues that take longer the farther they
// go. Times are nanoseconds after the start, as the responder is given them; positions are
// frame counts at the tape's rate, wrapped round midnight when read.
namespace vtrsim {

enum class Motion { Stop, Play, Still, FastForward, Rewind, Shuttle, Jog, Cue };

// Fast forward and rewind wind at this many times play speed.
constexpr double WIND_SPEED = 30.0;
// A cue takes this long, and longer with the square root of the frames it goes, as a deck
// winds fast over long distances and slows down to park.
constexpr int64_t CUE_SETTLE_NS = 150'000'000;
constexpr int64_t CUE_NS_PER_ROOT_FRAME = 4'000'000;
// Preroll parks this far ahead of the last cue point.
constexpr int PREROLL_SECONDS = 5;

class TapeMotion {
public:
    // A running tape plays from its start label at the start; a still one stands stopped.
    explicit TapeMotion(const TapeClock& tape);

    // The frame count under the head at ns, wrapped into the day.
    int64_t FrameAt(int64_t ns) const;
    // What the deck is doing at ns: a cue under way is Cue, one that has arrived Still.
    Motion MotionAt(int64_t ns) const;
    // Signed multiples of play speed.
    double SpeedAt(int64_t ns) const;
    bool CueDoneAt(int64_t ns) const { return m_cue && ns >= m_cueEndNs; }
    bool Prerolling(int64_t ns) const { return m_preroll && ns < m_cueEndNs; }
    bool Standby() const { return m_standby; }
    bool TapeOut() const { return m_tapeOut; }

    void Play(int64_t ns);
    void Stop(int64_t ns);
    // Winds (FastForward, Rewind) or moves at a signed speed (Shuttle, Jog); speed 0 holds
    // the frame under the head.
    void Move(int64_t ns, Motion motion, double speed);
    // One frame on or back, then still.
    void Step(int64_t ns, int frames);
    // Parks exactly on frame after a travel that grows with the distance.
    void CueTo(int64_t ns, int64_t frame);
    void Preroll(int64_t ns);
    void SetStandby(int64_t ns, bool on);
    void Eject(int64_t ns);
    // A cassette goes in again: stopped at the start label.
    void Insert(int64_t ns);

private:
    // Where the head is at ns, in frames and their fractions, not yet wrapped.
    double PositionAt(int64_t ns) const;
    void Segment(int64_t ns, double from, Motion motion, double speed);
    int64_t Whole(int64_t ns) const;

    TapeClock m_tape;
    double m_framesPerNs = 0;
    int64_t m_day = 0;
    Motion m_motion = Motion::Stop;
    double m_speed = 0;
    int64_t m_fromNs = 0;
    double m_from = 0;
    bool m_standby = true;
    bool m_tapeOut = false;
    // A cue or preroll: from m_from at m_fromNs to m_cueTarget at m_cueEndNs.
    bool m_cue = false;
    bool m_preroll = false;
    int64_t m_cueTarget = 0;
    int64_t m_cueEndNs = 0;
    int64_t m_lastCue = -1;
};

} // namespace vtrsim
