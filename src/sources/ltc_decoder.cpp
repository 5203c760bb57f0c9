#include "sources/ltc_decoder.h"

#include "timecode/timecode_value.h"

#include <ltc.h>

namespace {

// Decoded frames kept by libltc between two writes; a write of a tenth of a second holds
// three or four.
constexpr int LTC_QUEUE = 32;
// Frames whose spacing is measured before the pace of a run is trusted: the end of a frame is
// known to a sample or two, 23.976 and 24 differ by two samples a frame at 48 kHz, and the
// mean over this many is sure of it.
constexpr long long PACE_FRAMES = 8;

// BCD digits above 9 are no digits: such a frame is noise that passed the sync word.
bool LabelOf(const LTCFrame& f, TimecodeLabel* label) {
    if (f.hours_units > 9 || f.mins_units > 9 || f.secs_units > 9 || f.frame_units > 9)
        return false;
    label->hours = f.hours_tens * 10 + f.hours_units;
    label->minutes = f.mins_tens * 10 + f.mins_units;
    label->seconds = f.secs_tens * 10 + f.secs_units;
    label->frames = f.frame_tens * 10 + f.frame_units;
    return true;
}

// The rate of frames a spacing (in samples) plays at, give or take 5 % for vari-speed; the
// boundary between 24 and 25, whose windows would overlap, lies halfway. 0 for any other
// speed: a shuttling or winding source.
int FpsOfSpacing(int sampleRate, long long spacing) {
    const double fps = double(sampleRate) / double(spacing);
    if (fps >= 22.8 && fps < 24.5)
        return 24;
    if (fps >= 24.5 && fps <= 26.25)
        return 25;
    if (fps >= 28.5 && fps <= 31.5)
        return 30;
    return 0;
}

bool Follows(const TimecodeLabel& before, const TimecodeLabel& label, TimecodeRate rate) {
    const Timecode a = Timecode::FromLabel(before, rate);
    const Timecode b = Timecode::FromLabel(label, rate);
    return a && b && a.Plus(1) == b;
}

} // namespace

LtcDecoder::LtcDecoder(int sampleRate)
    : m_decoder(ltc_decoder_create(sampleRate / 30, LTC_QUEUE)), m_rate(sampleRate) {}

LtcDecoder::~LtcDecoder() {
    if (m_decoder != nullptr)
        ltc_decoder_free(m_decoder);
}

bool LtcDecoder::PulledDown(int fps, long long runSamples, long long runFrames) {
    if (runFrames < PACE_FRAMES) {
        // Too few frames to tell: the pace of the last run at this rate, or, for a new rate,
        // what its counting is made for (drop-frame labels for 29.97).
        if (m_paceFps != fps)
            return fps == 30 && m_previousDrop;
        return m_pulledDown;
    }
    // Between the two paces, a frame at 1/fps s is nominal samples long, one 1000/1001
    // slower 1.001 times that.
    const double nominal = double(m_rate) / fps;
    m_paceFps = fps;
    m_pulledDown = double(runSamples) / double(runFrames) > nominal * 1.0005;
    return m_pulledDown;
}

void LtcDecoder::Write(const int16_t* samples, size_t count, int64_t lastSampleNs,
                       std::vector<TimecodeAnchor>* anchors) {
    if (m_decoder == nullptr || count == 0 || m_rate <= 0)
        return;
    // libltc takes the buffer as non-const but only reads it.
    ltc_decoder_write_s16(m_decoder, const_cast<short*>(samples), count, m_position);
    m_position += static_cast<long long>(count);

    LTCFrameExt ext;
    while (ltc_decoder_read(m_decoder, &ext)) {
        TimecodeLabel label;
        const bool forward = ext.reverse == 0 && LabelOf(ext.ltc, &label);
        const bool drop = ext.ltc.dfbit != 0;
        const long long spacing = ext.off_end - m_previousEnd;
        const TimecodeLabel before = m_previousLabel;
        // A frame counts only after the one it follows, at one of the rates, no more than a
        // twentieth of a second before it: a single frame decoded out of noise does not.
        const bool follows = forward && m_havePrevious && drop == m_previousDrop && spacing > 0 &&
                             spacing < m_rate / 20 &&
                             (Follows(before, label, TimecodeRate::Thirty(drop)) ||
                              Follows(before, label, TimecodeRate{25, false}) ||
                              Follows(before, label, TimecodeRate{24, false}));
        m_havePrevious = forward;
        m_previousDrop = drop;
        m_previousLabel = label;
        m_previousEnd = ext.off_end;
        const int fps = follows ? FpsOfSpacing(m_rate, spacing) : 0;
        const TimecodeRate rate{fps, drop && fps == 30};
        if (fps == 0 || !Follows(before, label, rate) || fps != m_runFps) {
            // A new run starts at the frame before this one.
            m_runFps = fps;
            m_runStart = ext.off_end - spacing;
            m_runFrames = 0;
        }
        if (!follows)
            continue;

        TimecodeAnchor anchor;
        // A frame is known only once its last bit is in: it ended that many samples before
        // the last one written, which was heard at lastSampleNs.
        anchor.endNs = lastSampleNs - (m_position - 1 - ext.off_end) * 1000000000LL / m_rate;
        anchor.arrivalNs = anchor.endNs;
        // Frames that follow one another at no play speed, or whose spacing and labels
        // disagree on the rate, say that the source winds: nothing to show.
        if (fps != 0 && Follows(before, label, rate)) {
            ++m_runFrames;
            anchor.valid = true;
            anchor.rate = rate;
            anchor.moving = true;
            anchor.frame = Timecode::FromLabel(label, rate).Frame();
            anchor.periodNs =
                FramePeriodNs(fps, PulledDown(fps, ext.off_end - m_runStart, m_runFrames));
        }
        anchors->push_back(anchor);
    }
}
