#include "sources/deck_readings.h"

#include "sources/serial_deck.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A deck may latch its time a little before it has the whole request, or a little after it
// has begun to answer; this much either side of the exchange keeps such a reading in.
constexpr double kLatchSlackNs = 500'000;

// The real length of a frame at a counting. Drop-frame labels were made for 29.97 frames a
// second; other labels at 30 or 24 are sent at that rate (a simulator, film equipment) or
// 0.1 % slower (NTSC tape counted non-drop), and the readings tell which.
std::vector<double> FramePeriodsNs(TimecodeRate rate) {
    const double nominal = 1e9 / rate.fps;
    const double pulledDown = nominal * 1.001;
    if (rate.DropFrame())
        return {pulledDown};
    if (rate.fps == 30 || rate.fps == 24)
        return {nominal, pulledDown};
    return {nominal};
}

} // namespace

DeckSample DeckSampleOf(const DeckReading& reading, const Timecode& time, const DeckReading& last,
                        const Timecode& latest) {
    // Frames apart round midnight, the shorter way.
    const long long day = FramesPerDay(latest.Rate());
    long long frames = ((time.Frame() - latest.Frame()) % day + day) % day;
    if (frames >= day / 2)
        frames -= day;
    return {frames, double(reading.askedNs - last.answeredNs),
            double(reading.answeredNs - last.answeredNs)};
}

DeckPhase FitDeckPhase(const std::vector<DeckSample>& samples, double periodNs) {
    DeckPhase phase;
    for (const DeckSample& s : samples) {
        const double earliest =
            std::max(phase.earliest, s.askedNs - kLatchSlackNs - double(s.frame + 1) * periodNs);
        const double latest =
            std::min(phase.latest, s.answeredNs + kLatchSlackNs - double(s.frame) * periodNs);
        if (earliest >= latest)
            break;
        phase.earliest = earliest;
        phase.latest = latest;
        phase.advanced = phase.advanced || s.frame != 0;
        ++phase.readings;
    }
    return phase;
}

std::optional<Timecode> DeckTimecodeAt(const std::vector<DeckReading>& readings, int64_t atNs,
                                       TimecodeRate rate) {
    if (readings.empty())
        return std::nullopt;
    const DeckReading& last = readings.back();
    if (!last.answered)
        return Timecode();
    const Timecode latest = DeckTimecode(last.digits, rate);
    if (!latest || atNs - last.answeredNs > DECK_COUNT_ON_NS)
        return latest;

    // The deck's own counting, as its latest label was read; a label read otherwise ends the
    // run, as a failed exchange or one too old does.
    const TimecodeRate counting = latest.Rate();
    std::vector<DeckSample> samples;
    for (auto it = readings.rbegin(); it != readings.rend(); ++it) {
        if (!it->answered || last.answeredNs - it->answeredNs > DECK_PHASE_WINDOW_NS)
            break;
        const Timecode time = DeckTimecode(it->digits, rate);
        if (!time || time.Rate() != counting)
            break;
        samples.push_back(DeckSampleOf(*it, time, last, latest));
    }

    DeckPhase best;
    double period = 0;
    for (double candidate : FramePeriodsNs(counting)) {
        const DeckPhase phase = FitDeckPhase(samples, candidate);
        if (phase.readings > best.readings) {
            best = phase;
            period = candidate;
        }
    }
    // One reading says nothing of motion; readings that agree without advancing cannot
    // happen at play speed.
    if (best.readings < 2 || !best.advanced)
        return latest;
    // Any moment in between is as likely; the middle is wrong least often.
    const double began = (best.earliest + best.latest) / 2;
    // Before the first of these readings the tape may not have been playing: a moment that
    // early is counted back no further than that reading.
    const double at = std::max(double(atNs - last.answeredNs), samples[best.readings - 1].askedNs);
    const double since = at - began;
    return latest.Plus(static_cast<long long>(std::floor(since / period)));
}
