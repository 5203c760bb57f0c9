#include "sources/mtc_parser.h"

#include "timecode/timecode_value.h"

namespace {

constexpr uint8_t MIDI_QUARTER_FRAME = 0xF1;
constexpr uint8_t MIDI_SONG_POSITION = 0xF2;
constexpr uint8_t MIDI_SONG_SELECT = 0xF3;
constexpr uint8_t MIDI_SYSEX_START = 0xF0;
constexpr uint8_t MIDI_SYSEX_END = 0xF7;
constexpr uint8_t MIDI_REAL_TIME = 0xF8; // F8 to FF

// The longest frame of any rate, a 23.976 one: until the rate is known, pieces further apart
// than two of these are not in order.
constexpr int64_t LONGEST_FRAME_NS = FramePeriodNs(24, true);

} // namespace

bool MtcParser::Take(uint8_t byte, int64_t nowNs) {
    // Real-time bytes may fall anywhere, inside other messages too, and change nothing.
    if (byte >= MIDI_REAL_TIME)
        return false;
    if (byte & 0x80) {
        // A status byte ends whatever was under way; a message it cuts off is dropped.
        const bool endsSysEx = m_state == State::SysEx && byte == MIDI_SYSEX_END;
        m_state = State::Idle;
        if (endsSysEx)
            return TakeFullFrame(nowNs);
        if (byte == MIDI_SYSEX_START) {
            m_state = State::SysEx;
            m_sysexLength = 0;
        } else if (byte == MIDI_QUARTER_FRAME) {
            m_state = State::QuarterFrameData;
        } else if (byte == MIDI_SONG_POSITION || byte == MIDI_SONG_SELECT) {
            m_state = State::SkipData;
            m_dataSeen = byte == MIDI_SONG_POSITION ? 2 : 1;
        } else if (byte < 0xF0) {
            // Channel messages keep their status for the data that follows (running status);
            // program change and channel pressure take one data byte, the others two.
            m_state = State::ChannelData;
            m_channelLength = (byte & 0xE0) == 0xC0 ? 1 : 2;
            m_dataSeen = 0;
        }
        return false;
    }
    switch (m_state) {
    case State::QuarterFrameData:
        // System common messages have no running status: what follows is no quarter frame.
        m_state = State::Idle;
        return TakeQuarterFrame(byte, nowNs);
    case State::SysEx:
        if (m_sysexLength < kSysExKept)
            m_sysex[m_sysexLength] = byte;
        if (m_sysexLength <= kSysExKept)
            ++m_sysexLength;
        return false;
    case State::ChannelData:
        if (++m_dataSeen == m_channelLength)
            m_dataSeen = 0;
        return false;
    case State::SkipData:
        if (--m_dataSeen == 0)
            m_state = State::Idle;
        return false;
    case State::Idle:
        return false;
    }
    return false;
}

void MtcParser::SetRate(int rateCode) {
    // Rate codes of the hour: 0 24, 1 25, 2 29.97 drop-frame, 3 30 frames a second. MIDI has
    // no code for 23.976: such a source says 24 and plays a little slower, which the quarter
    // frames, each dated as it arrives, follow by themselves.
    switch (rateCode & 0x03) {
    case 0:
        m_rate = TimecodeRate{24, false};
        m_periodNs = FramePeriodNs(24, false);
        break;
    case 1:
        m_rate = TimecodeRate{25, false};
        m_periodNs = FramePeriodNs(25, false);
        break;
    case 2:
        m_rate = TimecodeRate::Thirty(true);
        m_periodNs = FramePeriodNs(30, true);
        break;
    default:
        m_rate = TimecodeRate::Thirty(false);
        m_periodNs = FramePeriodNs(30, false);
        break;
    }
}

bool MtcParser::TakeQuarterFrame(uint8_t data, int64_t nowNs) {
    const int piece = (data >> 4) & 0x07;
    const int value = data & 0x0F;
    // Pieces count up one at a time at play speed. Anything else (the source stopped,
    // shuttled, played backwards, or a message was lost) starts the gathering again.
    const int64_t period = m_periodNs > 0 ? m_periodNs : LONGEST_FRAME_NS;
    const bool inOrder =
        m_lastPiece >= 0 && piece == (m_lastPiece + 1) % 8 && nowNs - m_lastPieceNs <= 2 * period;
    m_lastPiece = piece;
    m_lastPieceNs = nowNs;
    if (!inOrder)
        m_playing = false;
    if (piece == 0)
        m_gathered = 0;
    if (piece != m_gathered) {
        m_gathered = 0;
        return false;
    }
    m_pieces[piece] = uint8_t(value);
    ++m_gathered;

    if (piece == 7) {
        m_gathered = 0;
        SetRate((m_pieces[7] >> 1) & 0x03);
        const int frames = m_pieces[0] | (m_pieces[1] & 0x01) << 4;
        const int seconds = m_pieces[2] | (m_pieces[3] & 0x03) << 4;
        const int minutes = m_pieces[4] | (m_pieces[5] & 0x03) << 4;
        const int hours = m_pieces[6] | (m_pieces[7] & 0x01) << 4;
        const Timecode time = Timecode::FromLabel({hours, minutes, seconds, frames}, m_rate);
        if (!time) {
            m_playing = false;
            m_anchor = TimecodeAnchor();
            m_anchor.arrivalNs = nowNs;
            return true;
        }
        // The time gathered is that of the frame during which piece 0 went out; piece 7 goes
        // out three quarters into the frame after it.
        m_quarter = 4LL * time.Frame() + 7;
        m_playing = true;
        AnchorAtQuarter(nowNs);
        return true;
    }
    if (!m_playing)
        return false;
    // Between two whole times every piece still marks a quarter of a frame.
    ++m_quarter;
    AnchorAtQuarter(nowNs);
    return true;
}

void MtcParser::AnchorAtQuarter(int64_t nowNs) {
    const int day = FramesPerDay(m_rate);
    // The frame in progress began the quarters past its start ago; the one before it ended
    // then.
    const long long inProgress = m_quarter / 4;
    m_anchor = TimecodeAnchor();
    m_anchor.valid = true;
    m_anchor.rate = m_rate;
    m_anchor.moving = true;
    m_anchor.frame = int(((inProgress - 1) % day + day) % day);
    m_anchor.periodNs = m_periodNs;
    m_anchor.endNs = nowNs - (m_quarter % 4) * m_periodNs / 4;
    m_anchor.arrivalNs = nowNs;
}

bool MtcParser::TakeFullFrame(int64_t nowNs) {
    // 7F dev 01 01 hh mm ss ff: real-time universal, any device, MTC full message.
    if (m_sysexLength != kSysExKept || m_sysex[0] != 0x7F || m_sysex[2] != 0x01 ||
        m_sysex[3] != 0x01)
        return false;
    // A locate: the quarter frames that follow start a new run.
    m_playing = false;
    m_gathered = 0;
    m_lastPiece = -1;
    m_anchor = TimecodeAnchor();
    m_anchor.arrivalNs = nowNs;
    SetRate((m_sysex[4] >> 5) & 0x03);
    const Timecode time = Timecode::FromLabel(
        {m_sysex[4] & 0x1F, m_sysex[5] & 0x3F, m_sysex[6] & 0x3F, m_sysex[7] & 0x1F}, m_rate);
    if (!time)
        return true;
    const int count = time.Frame();
    m_anchor.valid = true;
    m_anchor.rate = m_rate;
    m_anchor.periodNs = m_periodNs;
    m_anchor.frame = count;
    return true;
}
