#pragma once

#include <cstdint>

// When an input event really happened, on the steady clock (SteadyNowNs), from the time stamp
// the platform gave it: a key that went down while the window was busy is dated back to the
// moment it went down, not to when the window got to it.
//
// Platforms stamp events in milliseconds of a clock of their own. An X server or a Wayland
// compositor on this machine uses the monotonic clock, the steady clock's own (X cuts it to
// 32 bits), so a stamp a little before the handling is taken as it is. Any other clock (a
// remote display, Qt's own count since start-up on the offscreen platform) is related to ours
// by the smallest lag between stamp and handling seen so far, which is that of an event
// handled at once. A stamp of 0 (an event made by the program itself) cannot be mapped, nor
// can one that would put the event long before its handling (a clock that jumped): those are
// dated at their handling.
class PressClock {
public:
    // stampMs: the platform's time of the event (QInputEvent::timestamp()), 0 for none;
    // handledNs: the steady clock as it is handled. Never later than handledNs.
    int64_t SteadyNsOf(uint64_t stampMs, int64_t handledNs);

private:
    bool m_known = false;
    int64_t m_offsetNs = 0;   // steady time less stamp, the smallest seen
    int64_t m_offsetAtNs = 0; // when it was last brought up to date
};

// The longest an event may have waited for the window and still be dated back to its stamp.
constexpr int64_t PRESS_CLOCK_MAX_LAG_NS = 2'000'000'000;
