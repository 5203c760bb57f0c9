#include "sources/deck_rate.h"

#include "sources/serial_deck.h"

#include <string_view>

namespace {

// Steady play proves itself over this much of the steady clock.
constexpr double kPaceSpanNs = 1e9;

// The rates a deck's tape may run at, in the order a tie is given: the plain rate before the
// pulled-down one, non-drop before drop-frame (they differ only across a minute).
struct Candidate {
    TimecodeRate rate;
    bool pulledDown;
};
constexpr Candidate kCandidates[] = {
    {{24, false}, false}, {{24, false}, true}, {{25, false}, false},
    {{30, false}, false}, {{30, false}, true}, {{30, true}, true},
};

} // namespace

std::optional<SignalRate> DeckPaceRate(const std::vector<DeckReading>& readings) {
    if (readings.empty() || !readings.back().answered)
        return std::nullopt;
    const DeckReading& last = readings.back();
    std::optional<SignalRate> best;
    int bestReadings = 0;
    bool ambiguous = false;
    for (const Candidate& c : kCandidates) {
        const Timecode latest = Timecode::FromDigits(std::string_view(last.digits, 8), c.rate);
        if (!latest)
            continue;
        std::vector<DeckSample> samples;
        for (auto it = readings.rbegin(); it != readings.rend(); ++it) {
            const Timecode time = Timecode::FromDigits(std::string_view(it->digits, 8), c.rate);
            if (!it->answered || !time)
                break;
            samples.push_back(DeckSampleOf(*it, time, last, latest));
        }
        const int64_t periodNs = FramePeriodNs(c.rate.fps, c.pulledDown);
        const DeckPhase phase = FitDeckPhase(samples, double(periodNs));
        if (phase.readings < 2 || !phase.advanced ||
            -samples[size_t(phase.readings - 1)].askedNs < kPaceSpanNs)
            continue;
        // Readings that keep time at play speed over a second do so at one rate only; a
        // longer fit wins where two come close (29.97 and 30 over a few seconds). Exchanges
        // slowed down (a busy machine) may let two frames a second fit as long: then the
        // readings tell nothing yet.
        if (phase.readings > bestReadings) {
            ambiguous = false;
            bestReadings = phase.readings;
            best = SignalRate{c.rate, periodNs};
        } else if (phase.readings == bestReadings && best->rate.Fps() != c.rate.Fps()) {
            ambiguous = true;
        }
    }
    if (ambiguous)
        return std::nullopt;
    return best;
}

std::optional<int> DeckLabelFps(const std::vector<DeckReading>& readings) {
    int highest = -1;
    for (const DeckReading& r : readings) {
        if (!r.answered)
            continue;
        // The largest rate's counting reads every label any rate has.
        const Timecode time = Timecode::FromDigits(std::string_view(r.digits, 8), {30, false});
        if (!time)
            continue; // noise on the line says nothing
        highest = std::max(highest, time.Label().frames);
    }
    if (highest >= 25)
        return 30;
    if (highest >= 24)
        return 25;
    return std::nullopt;
}
