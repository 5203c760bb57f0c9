#include "platform/press_clock.h"

#include <algorithm>

namespace {

constexpr int64_t kNsPerMs = 1'000'000;
// Stamps beyond this many milliseconds (about 290 years) would overflow in nanoseconds.
constexpr uint64_t kLargestStampMs = uint64_t(INT64_MAX / kNsPerMs) - 1;
// How fast the platform's clock may fall behind ours (100 parts in a million, ten times a
// poor crystal's error): the smallest lag seen is let rise that fast, or it would date
// every event too early once the clocks had drifted apart.
constexpr int64_t kDriftDivisor = 10'000;

} // namespace

int64_t PressClock::SteadyNsOf(uint64_t stampMs, int64_t handledNs) {
    if (stampMs == 0 || stampMs > kLargestStampMs)
        return handledNs;
    const int64_t handledMs = handledNs / kNsPerMs;
    // Our own clock, cut to 32 bits by X: the lag is what it seems.
    const int64_t lagMs = stampMs <= UINT32_MAX ? int64_t(uint32_t(uint64_t(handledMs) - stampMs))
                                                : handledMs - int64_t(stampMs);
    if (lagMs >= 0 && lagMs * kNsPerMs <= PRESS_CLOCK_MAX_LAG_NS) {
        // The stamp is the millisecond the event fell in: its middle is never half a
        // millisecond off.
        return std::min(handledNs, (handledMs - lagMs) * kNsPerMs + kNsPerMs / 2);
    }

    const int64_t stampNs = int64_t(stampMs) * kNsPerMs;
    const int64_t offsetNs = handledNs - stampNs;
    if (!m_known) {
        m_known = true;
        m_offsetNs = offsetNs;
    } else {
        m_offsetNs += std::max<int64_t>(0, handledNs - m_offsetAtNs) / kDriftDivisor;
        // A lag far beyond any busy window: the platform's clock was set anew.
        if (offsetNs < m_offsetNs || offsetNs - m_offsetNs > PRESS_CLOCK_MAX_LAG_NS)
            m_offsetNs = offsetNs;
    }
    m_offsetAtNs = handledNs;
    return std::min(handledNs, stampNs + m_offsetNs);
}
