#include "timecode/timecode.h"

#include "timecode/timecode_rate.h"
#include "timecode/timecode_scan.h"

TimecodeLabel FramesToLabel(int count, TimecodeRate rate) {
    TimecodeLabel label;
    // Division by a positive constant truncates toward zero and cannot overflow, so every
    // int count is safe.
    if (rate.DropFrame()) {
        label.hours = count / DROP_FRAMES_PER_HOUR;
        const int inHour = count % DROP_FRAMES_PER_HOUR;
        const int tens = inHour / DROP_FRAMES_PER_TEN_MINUTES;
        int r = inHour % DROP_FRAMES_PER_TEN_MINUTES;
        // Minute u >= 1 of a ten-minute block begins at r = 2 + 1798 * u. Taking 1798 * u off
        // leaves 2 to 1799 within that minute, so its labels 00 and 01 never appear.
        int unit = 0;
        for (int u = 9; u >= 1; --u) {
            if (r >= 2 + 1798 * u) {
                unit = u;
                r -= 1798 * u;
                break;
            }
        }
        label.minutes = unit + 10 * tens;
        label.seconds = r / 30;
        label.frames = r % 30;
    } else {
        const int fps = rate.Fps();
        label.hours = count / (3600 * fps) % 24;
        label.minutes = count / (60 * fps) % 60;
        label.seconds = count / fps % 60;
        label.frames = count % fps;
    }
    return label;
}

bool LabelExists(const TimecodeLabel& l, TimecodeRate rate) {
    if (l.hours < 0 || l.hours > 23 || l.minutes < 0 || l.minutes > 59 || l.seconds < 0 ||
        l.seconds > 59 || l.frames < 0 || l.frames >= rate.Fps())
        return false;
    return !(rate.DropFrame() && l.seconds == 0 && l.frames < 2 && l.minutes % 10 != 0);
}

bool IsTimecodeTextAt(std::string_view text, int fps) {
    int f[4] = {};
    if (ScanTimecodeFields(text, f) < 4)
        return false;
    // Labels that drop-frame counting skips (00:01:00:00) are valid text all the same.
    return LabelExists(TimecodeLabel{f[0], f[1], f[2], f[3]}, TimecodeRate{fps, false});
}
