#pragma once

#include "sources/live_timecode.h"

#include <cstdint>

// MIDI timecode read out of a raw MIDI byte stream, one byte at a time, as it arrives. Two
// messages count: quarter frames (F1 0p dd, piece p of eight, a full time every two frames)
// and full-frame messages (F0 7F dev 01 01 hh mm ss ff F7, sent on a locate). Everything
// else on the cable is passed over: real-time bytes (F8 clock, FE active sensing) wherever
// they fall, even inside another message; channel messages, with running status; system
// exclusive messages of other kinds; messages cut off by the next status byte. No I/O here.
class MtcParser {
public:
    // Takes one byte received at nowNs. Returns true when it told the time anew (or that what
    // came is no time: a label its rate does not have); Anchor() then says what.
    bool Take(uint8_t byte, int64_t nowNs);
    const TimecodeAnchor& Anchor() const { return m_anchor; }

private:
    bool TakeQuarterFrame(uint8_t data, int64_t nowNs);
    bool TakeFullFrame(int64_t nowNs);
    void SetRate(int rateCode);
    void AnchorAtQuarter(int64_t nowNs);

    enum class State { Idle, QuarterFrameData, SysEx, ChannelData, SkipData };
    State m_state = State::Idle;
    int m_channelLength = 0; // data bytes of a channel message under running status
    int m_dataSeen = 0;      // of those, or bytes still to skip of a system common message

    // The body of a system exclusive message, after F0; only a full-frame message is kept.
    static constexpr int kSysExKept = 8;
    uint8_t m_sysex[kSysExKept] = {};
    int m_sysexLength = 0;

    // Quarter frames: the pieces of the time being gathered, 0 to m_gathered - 1 in order.
    uint8_t m_pieces[8] = {};
    int m_gathered = 0;
    int m_lastPiece = -1;
    int64_t m_lastPieceNs = 0;
    // While quarter frames come in order at play speed: the position of the last one, in
    // quarter frames since 00:00:00:00 of the source's own counting.
    bool m_playing = false;
    long long m_quarter = 0;
    // The rate the last whole time said.
    TimecodeRate m_rate;
    int64_t m_periodNs = 0;

    TimecodeAnchor m_anchor;
};
