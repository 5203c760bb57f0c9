#include "sources/live_timecode.h"

#include <algorithm>
#include <chrono>

int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Timecode AnchorTimecodeAt(const TimecodeAnchor& anchor, int64_t nowNs) {
    if (!anchor.valid || nowNs - anchor.arrivalNs > LIVE_TIMECODE_HOLD_NS)
        return Timecode();
    long long count = anchor.frame;
    if (anchor.moving && anchor.periodNs > 0) {
        // The frame after the one that ended began at endNs; a clock read a little before
        // the arrival was stamped still counts as that frame.
        const int64_t since = std::max<int64_t>(0, nowNs - anchor.endNs);
        count += 1 + std::min<int64_t>(since / anchor.periodNs, LIVE_TIMECODE_COAST_FRAMES);
    }
    return Timecode::AtFrame(count, anchor.rate);
}

std::string SignalRateText(const SignalRate& signal) {
    const int fps = signal.rate.Fps();
    const bool slow = signal.PulledDown();
    std::string text = fps == 24   ? (slow ? "23.976" : "24")
                       : fps == 25 ? "25"
                                   : (slow ? "29.97" : "30");
    if (fps == 30)
        text += signal.rate.DropFrame() ? " DF" : " NDF";
    return text;
}

void LiveTimecode::Publish(const TimecodeAnchor& anchor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_anchor = anchor;
}

Timecode LiveTimecode::ReadAt(int64_t nowNs) const {
    TimecodeAnchor anchor;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        anchor = m_anchor;
    }
    return AnchorTimecodeAt(anchor, nowNs);
}

std::optional<SignalRate> LiveTimecode::RateAt(int64_t nowNs) const {
    TimecodeAnchor anchor;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        anchor = m_anchor;
    }
    if (!AnchorTimecodeAt(anchor, nowNs))
        return std::nullopt;
    return SignalRate{anchor.rate, anchor.periodNs};
}
