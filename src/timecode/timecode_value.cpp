#include "timecode/timecode_value.h"

#include <cstdio>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int TwoDigits(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

} // namespace

Timecode Timecode::AtFrame(long long frame, TimecodeRate rate) {
    const long long day = FramesPerDay(rate);
    frame %= day;
    if (frame < 0)
        frame += day;
    return Timecode(static_cast<int>(frame), rate);
}

Timecode Timecode::FromLabel(const TimecodeLabel& label, TimecodeRate rate) {
    if (!LabelExists(label, rate))
        return Timecode();
    return Timecode(static_cast<int>(LabelToFrames64(label, rate)), rate);
}

Timecode Timecode::FromText(std::string_view text, TimecodeRate rate) {
    if (text.size() != 11)
        return Timecode();
    for (int i = 0; i < 11; ++i) {
        const bool colon = i % 3 == 2;
        if (colon ? text[i] != ':' : !IsDigit(text[i]))
            return Timecode();
    }
    const char* p = text.data();
    return FromLabel({TwoDigits(p), TwoDigits(p + 3), TwoDigits(p + 6), TwoDigits(p + 9)}, rate);
}

Timecode Timecode::FromDigits(std::string_view digits, TimecodeRate rate) {
    if (digits.size() != 8)
        return Timecode();
    for (char c : digits)
        if (!IsDigit(c))
            return Timecode();
    const char* p = digits.data();
    return FromLabel({TwoDigits(p), TwoDigits(p + 2), TwoDigits(p + 4), TwoDigits(p + 6)}, rate);
}

TimecodeLabel Timecode::Label() const {
    return IsValid() ? FramesToLabel(m_frame, m_rate) : TimecodeLabel{};
}

std::string Timecode::Text() const {
    return IsValid() ? LabelText(Label()) : std::string(NO_TIMECODE_TEXT);
}

Timecode Timecode::Plus(long long frames) const {
    return IsValid() ? AtFrame(m_frame + frames, m_rate) : Timecode();
}

std::string LabelText(const TimecodeLabel& l) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", l.hours, l.minutes, l.seconds,
                  l.frames);
    return text;
}
