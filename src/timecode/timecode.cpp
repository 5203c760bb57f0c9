#include "timecode/timecode.h"

#include "timecode/timecode_count.h"
#include "timecode/timecode_scan.h"

void TimecodeToFrames(int* count, int hours, int minutes, int seconds, int frames, int drop) {
    if (count == nullptr)
        return;
    // The count is 32-bit arithmetic; fields far out of range wrap round as 32-bit arithmetic
    // does, without the undefined behaviour of an overflowing int.
    *count = WrapToInt32(TimecodeToFrames64(hours, minutes, seconds, frames, drop));
}

void FramesToTimecode(int* hours, int* minutes, int* seconds, int* frames, int count, int drop) {
    int h = 0;
    int m = 0;
    int s = 0;
    int f = 0;
    // Division by a positive constant truncates toward zero and cannot overflow, so every
    // int count is safe; negative counts give negative fields.
    if (drop) {
        h = count / FRAMES_PER_HOUR_DROP;
        const int inHour = count % FRAMES_PER_HOUR_DROP;
        const int tens = inHour / FRAMES_PER_TEN_MINUTES_DROP;
        int r = inHour % FRAMES_PER_TEN_MINUTES_DROP;
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
        m = unit + 10 * tens;
        s = r / 30;
        f = r % 30;
    } else {
        h = count / FRAMES_PER_HOUR % 24;
        m = count / 1800 % 60;
        s = count / 30 % 60;
        f = count % 30;
    }
    if (hours != nullptr)
        *hours = h;
    if (minutes != nullptr)
        *minutes = m;
    if (seconds != nullptr)
        *seconds = s;
    if (frames != nullptr)
        *frames = f;
}

int IsValidTimecodeText(const char* text) {
    int f[4] = {};
    if (ScanTimecodeFields(text, f) < 4)
        return 0;
    // Labels that drop-frame counting skips (00:01:00:00) are valid text all the same.
    const bool valid = f[0] >= 0 && f[0] <= 23 && f[1] >= 0 && f[1] <= 59 && f[2] >= 0 &&
                       f[2] <= 59 && f[3] >= 0 && f[3] <= 29;
    return valid ? 1 : 0;
}
