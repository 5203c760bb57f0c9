#include "vtr/ltc_decoder.h"

#include "timecode/timecode_value.h"

#include <ltc.h>

namespace {

// Decoded frames kept by libltc between two writes; a write of a tenth of a second holds
// three or four.
constexpr int LTC_QUEUE = 32;
// Play speed of a 29.97 or 30 frame source, give or take 5 %: vari-speed still reads, while
// 24 and 25 frame sources and a shuttling tape do not.
constexpr double MIN_FPS = 28.5;
constexpr double MAX_FPS = 31.5;

// BCD digits above 9 are no digits: such a frame is noise that passed the sync word.
bool LabelOf(const LTCFrame& f, int* h, int* m, int* s, int* fr) {
    if (f.hours_units > 9 || f.mins_units > 9 || f.secs_units > 9 || f.frame_units > 9)
        return false;
    *h = f.hours_tens * 10 + f.hours_units;
    *m = f.mins_tens * 10 + f.mins_units;
    *s = f.secs_tens * 10 + f.secs_units;
    *fr = f.frame_tens * 10 + f.frame_units;
    return true;
}

} // namespace

LtcDecoder::LtcDecoder(int sampleRate)
    : m_decoder(ltc_decoder_create(sampleRate / 30, LTC_QUEUE)), m_rate(sampleRate) {}

LtcDecoder::~LtcDecoder() {
    if (m_decoder != nullptr)
        ltc_decoder_free(m_decoder);
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
        int h = 0, m = 0, s = 0, f = 0;
        const bool drop = ext.ltc.dfbit != 0;
        const TimecodeRate rate = TimecodeRate::Thirty(drop);
        const Timecode time = ext.reverse == 0 && LabelOf(ext.ltc, &h, &m, &s, &f)
                                  ? Timecode::FromLabel({h, m, s, f}, rate)
                                  : Timecode();
        const bool label = time.IsValid();
        const int frame = time.Frame();
        const long long spacing = ext.off_end - m_previousEnd;
        const int day = FramesPerDay(rate);
        // A frame counts only after the one it follows, no more than a twentieth of a second
        // before it: a single frame decoded out of noise does not.
        const bool follows = label && m_havePrevious && drop == m_previousDrop &&
                             frame == (m_previousCount + 1) % day && spacing > 0 &&
                             spacing < m_rate / 20;
        m_havePrevious = label;
        m_previousDrop = drop;
        m_previousCount = frame;
        m_previousEnd = ext.off_end;
        if (!follows)
            continue;

        TimecodeAnchor anchor;
        // A frame is known only once its last bit is in: it ended that many samples before
        // the last one written, which was heard at lastSampleNs.
        anchor.endNs = lastSampleNs - (m_position - 1 - ext.off_end) * 1000000000LL / m_rate;
        anchor.arrivalNs = anchor.endNs;
        const double fps = double(m_rate) / double(spacing);
        if (fps >= MIN_FPS && fps <= MAX_FPS) {
            anchor.valid = true;
            anchor.drop = drop;
            anchor.moving = true;
            anchor.frame = frame;
            anchor.periodNs = FramePeriodNs(drop);
        }
        anchors->push_back(anchor);
    }
}
