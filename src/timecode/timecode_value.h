#pragma once

#include "timecode/timecode_rate.h"

#include <string>
#include <string_view>

// What the program shows and writes for "no timecode".
constexpr char NO_TIMECODE_TEXT[] = "--:--:--:--";

// One frame of a day, at its rate: what a source reads, a capture takes and a cell shows.
// Either a frame from 00:00:00:00 up to the day's last, or no timecode at all (a silent deck,
// a label the rate cannot hold). Texts appear only where it meets the world: the cell, the
// file line, the wire.
class Timecode {
public:
    // No timecode.
    constexpr Timecode() = default;

    // The frame of the day, any count wrapped round midnight.
    static Timecode AtFrame(long long frame, TimecodeRate rate);
    // The frame a label names; no timecode when the label does not exist at the rate.
    static Timecode FromLabel(const TimecodeLabel& label, TimecodeRate rate);
    // Exactly "HH:MM:SS:FF", two digits a field, naming an existing label; else no timecode.
    static Timecode FromText(std::string_view text, TimecodeRate rate);
    // Eight digits HHMMSSFF, as a deck sends them; else no timecode.
    static Timecode FromDigits(std::string_view digits, TimecodeRate rate);

    bool IsValid() const { return m_frame >= 0; }
    explicit operator bool() const { return IsValid(); }
    // Frames since midnight; -1 for no timecode.
    int Frame() const { return m_frame; }
    TimecodeRate Rate() const { return m_rate; }
    TimecodeLabel Label() const;
    // "HH:MM:SS:FF", or NO_TIMECODE_TEXT.
    std::string Text() const;
    // The frame this many frames on (or back), round midnight.
    Timecode Plus(long long frames) const;

    bool operator==(const Timecode& other) const {
        return m_frame == other.m_frame && (m_frame < 0 || m_rate == other.m_rate);
    }
    bool operator!=(const Timecode& other) const { return !(*this == other); }

private:
    constexpr Timecode(int frame, TimecodeRate rate) : m_frame(frame), m_rate(rate) {}

    int m_frame = -1;
    TimecodeRate m_rate;
};

// The "HH:MM:SS:FF" of a label, fields printed as they are ("%02d" each, a sign kept).
std::string LabelText(const TimecodeLabel& label);
