// Times the timecode arithmetic and prints figures: the round trip count -> label -> count over
// every frame of a day at every rate and counting, the same through the Timecode value and its
// text, and the list's row arithmetic on cells: reading a cell's text, and a row's duration
// from its IN and OUT as the list computes it after each change.
#include "timecode/duration.h"
#include "timecode/timecode_rate.h"
#include "timecode/timecode_value.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int PASSES = 5;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename RoundTrip>
void Measure(const char* name, TimecodeRate rate, int passes, RoundTrip roundTrip) {
    const int framesPerDay = FramesPerDay(rate);
    long long mismatches = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        for (int count = 0; count < framesPerDay; ++count) {
            // Counting the mismatches keeps the work observable to the optimiser.
            mismatches += roundTrip(count) != count;
        }
    }
    const double elapsed = SecondsSince(start);
    // Each round trip is two conversions.
    const double conversions = 2.0 * passes * framesPerDay;
    std::printf("%-28s %d round trips in %.3f s: %.1f million conversions/s, %lld mismatches\n",
                name, passes * framesPerDay, elapsed, conversions / elapsed / 1e6, mismatches);
}

void MeasureRate(const char* name, TimecodeRate rate) {
    Measure(name, rate, PASSES, [rate](int count) {
        return static_cast<int>(LabelToFrames64(FramesToLabel(count, rate), rate));
    });
}

// Frame -> "HH:MM:SS:FF" -> frame, as a capture writes a cell and the list reads it back.
void MeasureValue(const char* name, TimecodeRate rate) {
    Measure(name, rate, 1, [rate](int count) {
        return Timecode::FromText(Timecode::AtFrame(count, rate).Text(), rate).Frame();
    });
}

// One day's rows of a minute each, IN at the minute and OUT 10 s later; the durations of all
// of them, from text (each change reads the cells afresh) and from cells already read.
void MeasureDurations(const char* name, TimecodeRate rate, const char* outSuffix) {
    std::vector<std::string> ins, outs;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        char in[32], out[32];
        std::snprintf(in, sizeof in, "%02d:%02d:00:10", minute / 60, minute % 60);
        std::snprintf(out, sizeof out, "%02d:%02d:10:10%s", minute / 60, minute % 60, outSuffix);
        ins.push_back(in);
        outs.push_back(out);
    }
    constexpr int ROUNDS = 200;
    const double rows = double(ROUNDS) * ins.size();
    long long sum = 0;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t i = 0; i < ins.size(); ++i) {
            const std::optional<int> diff = RowDuration(TimecodeCell::Read(ins[i], rate),
                                                        TimecodeCell::Read(outs[i], rate), rate);
            sum += diff ? FormatDuration(*diff, rate).size() : 0;
        }
    }
    const double fromText = SecondsSince(start);
    std::vector<TimecodeCell> inCells, outCells;
    for (size_t i = 0; i < ins.size(); ++i) {
        inCells.push_back(TimecodeCell::Read(ins[i], rate));
        outCells.push_back(TimecodeCell::Read(outs[i], rate));
    }
    start = std::chrono::steady_clock::now();
    for (int round = 0; round < ROUNDS; ++round) {
        for (size_t i = 0; i < ins.size(); ++i)
            sum += RowDuration(inCells[i], outCells[i], rate).value_or(0);
    }
    const double fromCells = SecondsSince(start);
    std::printf("%-28s %.2f million durations/s written from text, %.1f million/s from cells "
                "(check %lld)\n",
                name, rows / fromText / 1e6, rows / fromCells / 1e6, sum);
}

} // namespace

int main() {
    MeasureRate("24", TimecodeRate{24, false});
    MeasureRate("25", TimecodeRate{25, false});
    MeasureRate("30 non-drop", TimecodeRate::Thirty(false));
    MeasureRate("30 drop-frame", TimecodeRate::Thirty(true));
    MeasureValue("value 25 via text", TimecodeRate{25, false});
    MeasureValue("value 30 drop-frame via text", TimecodeRate::Thirty(true));
    MeasureDurations("durations 25, labels", TimecodeRate{25, false}, "");
    MeasureDurations("durations 30 DF, labels", TimecodeRate::Thirty(true), "");
    // Text that is no label (a file's "HH:MM:SS:FF x"): read the long way.
    MeasureDurations("durations 30 DF, loose text", TimecodeRate::Thirty(true), " x");
    return 0;
}
