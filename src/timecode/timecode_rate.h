#pragma once

// The rates a list may count at, and whether drop-frame labels exist at one.
constexpr bool IsListFrameRate(int fps) {
    return fps == 24 || fps == 25 || fps == 30;
}
constexpr bool RateHasDropFrame(int fps) {
    return fps == 30;
}

// How labels count at 30 frames a second: every label a frame, or drop-frame.
enum class Counting { NonDrop, DropFrame };

// How a timecode counts: its frames a second by label (24, 25 or 30) and, at 30, whether its
// labels are drop-frame (29.97 material: labels 00 and 01 of every minute not divisible by ten
// do not exist). The pace a source plays at (23.976, 29.97) is the source's business; the
// labels and their count depend on this alone.
struct TimecodeRate {
    int fps = 30;
    bool drop = false;

    // The list's rule before frame rates could be chosen: 30 frames, drop-frame or not.
    static constexpr TimecodeRate Thirty(bool drop) { return TimecodeRate{30, drop}; }

    // The frames a second counted. Any number but 24 and 25 counts as 30, as a settings file
    // with another rate does: no arithmetic may divide by a rate of zero or count a rate that
    // has no labels.
    constexpr int Fps() const { return IsListFrameRate(fps) ? fps : 30; }
    // Drop-frame counting exists at 30 only; a drop flag at another rate counts for nothing.
    constexpr bool DropFrame() const { return drop && Fps() == 30; }

    // Two rates are the same when they count the same: 25 with a drop flag is 25.
    constexpr bool operator==(const TimecodeRate& other) const {
        return Fps() == other.Fps() && DropFrame() == other.DropFrame();
    }
    constexpr bool operator!=(const TimecodeRate& other) const { return !(*this == other); }
};

// The four numbers of a label, HH:MM:SS:FF.
struct TimecodeLabel {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;

    constexpr bool operator==(const TimecodeLabel& o) const {
        return hours == o.hours && minutes == o.minutes && seconds == o.seconds &&
               frames == o.frames;
    }
};

// Drop-frame counting leaves out two labels a minute but every tenth: an hour holds 107,892
// frames and ten minutes 17,982.
constexpr int DROP_FRAMES_PER_TEN_MINUTES = 17982;
constexpr int DROP_FRAMES_PER_HOUR = 6 * DROP_FRAMES_PER_TEN_MINUTES;

constexpr int FramesPerHour(TimecodeRate rate) {
    return rate.DropFrame() ? DROP_FRAMES_PER_HOUR : 3600 * rate.Fps();
}

// Frames from 00:00:00:00 to the next midnight: the one place the length of a day is known.
constexpr int FramesPerDay(TimecodeRate rate) {
    return 24 * FramesPerHour(rate);
}

// The frame count of a label, in 64 bits: exact for any int fields, none of them range-checked
// (a hand-edited list cell may hold 99:99:99:99). A label that drop-frame skips counts as the
// frame before it.
constexpr long long LabelToFrames64(const TimecodeLabel& label, TimecodeRate rate) {
    const long long h = label.hours;
    const long long m = label.minutes;
    long long count = label.frames + rate.Fps() * (label.seconds + 60 * m + 3600 * h);
    // Two frames go for every minute since 00:00:00:00 whose number is not a multiple of
    // ten: 60h + m minutes in all, 6h + m/10 of them multiples of ten (m/10 truncates).
    if (rate.DropFrame())
        count += 2 * (label.minutes / 10 - 54 * h - m);
    return count;
}

// The label of a frame count. Division truncates toward zero, so negative counts give
// negative fields. Non-drop labels keep their hours within a day; drop-frame ones go on
// counting hours past it (a duration of more than a day shows 24 and more).
TimecodeLabel FramesToLabel(int count, TimecodeRate rate);

// Whether a label names a frame at the rate: every field in range, and not one that
// drop-frame skips.
bool LabelExists(const TimecodeLabel& label, TimecodeRate rate);
