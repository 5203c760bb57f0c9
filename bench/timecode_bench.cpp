// Times the round trip count -> fields -> count over every frame of a day, at every rate and
// counting, and prints conversions per second: through the C functions at 30 as the old
// callers use them, and through the rate-aware functions the program counts with.
#include "timecode/timecode.h"
#include "timecode/timecode_rate.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr int PASSES = 5;

template <typename RoundTrip>
void Measure(const char* name, TimecodeRate rate, RoundTrip roundTrip) {
    const int framesPerDay = FramesPerDay(rate);
    long long mismatches = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < PASSES; ++pass) {
        for (int count = 0; count < framesPerDay; ++count) {
            // Counting the mismatches keeps the work observable to the optimiser.
            mismatches += roundTrip(count) != count;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    // Each round trip is two conversions.
    const double conversions = 2.0 * PASSES * framesPerDay;
    std::printf("%-24s %d round trips in %.3f s: %.1f million conversions/s, %lld mismatches\n",
                name, PASSES * framesPerDay, elapsed.count(), conversions / elapsed.count() / 1e6,
                mismatches);
}

void MeasureC(const char* name, int drop) {
    Measure(name, TimecodeRate::Thirty(drop != 0), [drop](int count) {
        int h = 0, m = 0, s = 0, f = 0, back = 0;
        FramesToTimecode(&h, &m, &s, &f, count, drop);
        TimecodeToFrames(&back, h, m, s, f, drop);
        return back;
    });
}

void MeasureRate(const char* name, TimecodeRate rate) {
    Measure(name, rate, [rate](int count) {
        return static_cast<int>(LabelToFrames64(FramesToLabel(count, rate), rate));
    });
}

} // namespace

int main() {
    MeasureC("non-drop (C)", 0);
    MeasureC("drop-frame (C)", 1);
    MeasureRate("24", TimecodeRate{24, false});
    MeasureRate("25", TimecodeRate{25, false});
    MeasureRate("30 non-drop", TimecodeRate::Thirty(false));
    MeasureRate("30 drop-frame", TimecodeRate::Thirty(true));
    return 0;
}
