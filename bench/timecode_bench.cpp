// Times the round trip count -> fields -> count over every frame of a day, in both counting
// modes, and prints conversions per second.
#include "timecode/timecode.h"

#include <chrono>
#include <cstdio>

namespace {

struct Mode {
    const char* name;
    int drop;
    int framesPerDay;
};

} // namespace

int main() {
    const Mode modes[] = {{"non-drop", 0, 2592000}, {"drop-frame", 1, 2589408}};
    const int passes = 5;
    for (const Mode& mode : modes) {
        long long mismatches = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int pass = 0; pass < passes; ++pass) {
            for (int count = 0; count < mode.framesPerDay; ++count) {
                int h = 0, m = 0, s = 0, f = 0, back = 0;
                FramesToTimecode(&h, &m, &s, &f, count, mode.drop);
                TimecodeToFrames(&back, h, m, s, f, mode.drop);
                // Counting the mismatches keeps the work observable to the optimiser.
                mismatches += back != count;
            }
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        // Each round trip is two conversions.
        const double conversions = 2.0 * passes * mode.framesPerDay;
        std::printf("%-10s %d round trips in %.3f s: %.1f million conversions/s, %lld "
                    "mismatches\n",
                    mode.name, passes * mode.framesPerDay, elapsed.count(),
                    conversions / elapsed.count() / 1e6, mismatches);
    }
    return 0;
}
