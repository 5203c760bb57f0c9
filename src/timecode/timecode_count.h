#pragma once

#include <cstdint>

constexpr int FRAMES_PER_HOUR = 108000;
constexpr int FRAMES_PER_HOUR_DROP = 107892;
constexpr int FRAMES_PER_TEN_MINUTES_DROP = 17982;
constexpr int FRAMES_PER_DAY = 24 * FRAMES_PER_HOUR;
constexpr int FRAMES_PER_DAY_DROP = 24 * FRAMES_PER_HOUR_DROP;

// The frame count of the fields, computed in 64 bits: exact for any int fields. Where the
// result fits in an int it equals the 32-bit count; callers that need to know whether it fits
// use this one.
inline long long TimecodeToFrames64(int hours, int minutes, int seconds, int frames, int drop) {
    const long long h = hours;
    const long long m = minutes;
    long long count = frames + 30 * (seconds + 60 * m + 3600 * h);
    // Two frames go for every minute since 00:00:00:00 whose number is not a multiple of
    // ten: 60h + m minutes in all, 6h + m/10 of them multiples of ten (m/10 truncates).
    if (drop)
        count += 2 * (minutes / 10 - 54 * h - m);
    return count;
}

// Two's complement wrap to 32 bits, as 32-bit arithmetic gives it.
inline int WrapToInt32(long long value) {
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}
