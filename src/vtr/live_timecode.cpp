#include "vtr/live_timecode.h"

#include "timecode/timecode.h"
#include "timecode/timecode_count.h"

#include <algorithm>
#include <chrono>

int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool CountTimecodeLabel(int hours, int minutes, int seconds, int frames, bool drop, int* count) {
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
        frames < 0 || frames > 29)
        return false;
    if (drop && seconds == 0 && frames < 2 && minutes % 10 != 0)
        return false;
    TimecodeToFrames(count, hours, minutes, seconds, frames, drop ? 1 : 0);
    return true;
}

int AnchorTimecodeAt(const TimecodeAnchor& anchor, int64_t nowNs, char* timecode) {
    if (!anchor.valid || nowNs - anchor.arrivalNs > LIVE_TIMECODE_HOLD_NS)
        return 0;
    long long count = anchor.frame;
    if (anchor.moving && anchor.periodNs > 0) {
        // The frame after the one that ended began at endNs; a clock read a little before
        // the arrival was stamped still counts as that frame.
        const int64_t since = std::max<int64_t>(0, nowNs - anchor.endNs);
        count += 1 + std::min<int64_t>(since / anchor.periodNs, LIVE_TIMECODE_COAST_FRAMES);
    }
    const int day = anchor.drop ? FRAMES_PER_DAY_DROP : FRAMES_PER_DAY;
    count %= day;
    if (count < 0)
        count += day;
    int h = 0, m = 0, s = 0, f = 0;
    FramesToTimecode(&h, &m, &s, &f, int(count), anchor.drop ? 1 : 0);
    const int fields[4] = {h, m, s, f};
    for (int i = 0; i < 4; ++i) {
        timecode[2 * i] = char('0' + fields[i] / 10);
        timecode[2 * i + 1] = char('0' + fields[i] % 10);
    }
    timecode[8] = '\0';
    return 1;
}

void LiveTimecode::Publish(const TimecodeAnchor& anchor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_anchor = anchor;
}

int LiveTimecode::ReadAt(int64_t nowNs, char* timecode) const {
    TimecodeAnchor anchor;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        anchor = m_anchor;
    }
    return AnchorTimecodeAt(anchor, nowNs, timecode);
}
