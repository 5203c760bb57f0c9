#include "tape_motion.h"

#include "timecode/timecode_value.h"

#include <cmath>

namespace vtrsim {

TapeMotion::TapeMotion(const TapeClock& tape) : m_tape(tape) {
    m_framesPerNs = m_tape.Rate().Fps() / (m_tape.Slowed() ? 1001000000.0 : 1000000000.0);
    m_day = FramesPerDay(m_tape.Rate());
    m_from = m_tape.startFrames;
    m_motion = m_tape.running ? Motion::Play : Motion::Stop;
    m_speed = m_tape.running ? 1.0 : 0.0;
}

double TapeMotion::PositionAt(int64_t ns) const {
    if (m_cue) {
        if (ns >= m_cueEndNs)
            return double(m_cueTarget);
        const double part = double(ns - m_fromNs) / double(m_cueEndNs - m_fromNs);
        return m_from + (double(m_cueTarget) - m_from) * std::max(0.0, part);
    }
    if (ns <= m_fromNs || m_speed == 0.0)
        return m_from;
    if (m_speed == 1.0 && m_from == std::floor(m_from)) {
        // Play from the start of a frame: counted in whole nanoseconds, so that every frame
        // begins exactly where the tape clock says.
        const int64_t frames =
            (ns - m_fromNs) * m_tape.Rate().Fps() / (m_tape.Slowed() ? 1001000000LL : 1000000000LL);
        return m_from + double(frames);
    }
    return m_from + m_speed * double(ns - m_fromNs) * m_framesPerNs;
}

int64_t TapeMotion::Whole(int64_t ns) const {
    return int64_t(std::floor(PositionAt(ns)));
}

int64_t TapeMotion::FrameAt(int64_t ns) const {
    int64_t frame = Whole(ns) % m_day;
    return frame < 0 ? frame + m_day : frame;
}

Motion TapeMotion::MotionAt(int64_t ns) const {
    if (m_cue)
        return ns >= m_cueEndNs ? Motion::Still : Motion::Cue;
    return m_motion;
}

double TapeMotion::SpeedAt(int64_t ns) const {
    if (m_cue) {
        if (ns >= m_cueEndNs)
            return 0.0;
        return (double(m_cueTarget) - m_from) / (double(m_cueEndNs - m_fromNs) * m_framesPerNs);
    }
    return m_speed;
}

void TapeMotion::Segment(int64_t ns, double from, Motion motion, double speed) {
    // Kept within the day, so that a tape left running for days keeps its precision.
    const double day = double(m_day);
    from = std::fmod(from, day);
    if (from < 0)
        from += day;
    m_from = from;
    m_fromNs = ns;
    m_motion = motion;
    m_speed = speed;
    m_cue = false;
    m_preroll = false;
}

void TapeMotion::Play(int64_t ns) {
    if (m_tapeOut)
        return;
    // Play starts at the start of the frame shown.
    Segment(ns, double(Whole(ns)), Motion::Play, 1.0);
    m_standby = true;
}

void TapeMotion::Stop(int64_t ns) {
    if (m_tapeOut)
        return;
    Segment(ns, double(Whole(ns)), Motion::Stop, 0.0);
}

void TapeMotion::Move(int64_t ns, Motion motion, double speed) {
    if (m_tapeOut)
        return;
    if (motion == Motion::FastForward)
        speed = WIND_SPEED;
    if (motion == Motion::Rewind)
        speed = -WIND_SPEED;
    if (speed == 0.0) {
        Segment(ns, double(Whole(ns)), Motion::Still, 0.0);
    } else {
        Segment(ns, PositionAt(ns), motion, speed);
    }
    m_standby = true;
}

void TapeMotion::Step(int64_t ns, int frames) {
    if (m_tapeOut)
        return;
    Segment(ns, double(Whole(ns) + frames), Motion::Still, 0.0);
    m_standby = true;
}

void TapeMotion::CueTo(int64_t ns, int64_t frame) {
    if (m_tapeOut)
        return;
    const double from = PositionAt(ns);
    Segment(ns, from, Motion::Still, 0.0);
    frame %= m_day;
    if (frame < 0)
        frame += m_day;
    const double distance = std::fabs(double(frame) - from);
    m_cue = true;
    m_cueTarget = frame;
    m_cueEndNs = ns + CUE_SETTLE_NS + int64_t(double(CUE_NS_PER_ROOT_FRAME) * std::sqrt(distance));
    m_lastCue = frame;
    m_standby = true;
}

void TapeMotion::Preroll(int64_t ns) {
    const int64_t point = m_lastCue >= 0 ? m_lastCue : Whole(ns);
    const int64_t last = m_lastCue;
    CueTo(ns, point - int64_t(PREROLL_SECONDS) * m_tape.Rate().Fps());
    // The cue point stays where it was: a second preroll parks at the same frame.
    m_lastCue = last;
    m_preroll = m_cue;
}

void TapeMotion::SetStandby(int64_t ns, bool on) {
    if (m_tapeOut)
        return;
    if (!on)
        Segment(ns, double(Whole(ns)), Motion::Stop, 0.0);
    m_standby = on;
}

void TapeMotion::Eject(int64_t ns) {
    Segment(ns, double(Whole(ns)), Motion::Stop, 0.0);
    m_standby = false;
    m_tapeOut = true;
}

void TapeMotion::Insert(int64_t ns) {
    Segment(ns, double(m_tape.startFrames), Motion::Stop, 0.0);
    m_standby = true;
    m_tapeOut = false;
}

} // namespace vtrsim
