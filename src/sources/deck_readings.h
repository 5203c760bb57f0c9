#pragma once

#include "timecode/timecode_value.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// One timecode exchange with a deck, dated on the steady clock.
struct DeckReading {
    bool answered = false;  // false: the exchange failed (no answer, a wrong one)
    char digits[9] = {};    // HHMMSSFF as the deck sent them, and a terminating zero
    int64_t askedNs = 0;    // just before the request went out
    int64_t answeredNs = 0; // once the reply was in, or the exchange gave up
};

// How long after its reply a reading is counted on at play speed. A deck that stops
// answering shows as a failed exchange within a poll and a time-out (100 + 160 ms); a reading
// older than that means polling was paused, and is taken as it is, as the last tick's was.
constexpr int64_t DECK_COUNT_ON_NS = 300'000'000;
// How far back readings are looked at to find where the tape's frames begin.
constexpr int64_t DECK_PHASE_WINDOW_NS = 8'000'000'000;

// The frame under the head at atNs on the steady clock, from a deck's readings, oldest first.
// While the latest readings advance at play speed, their times pin down when each frame began
// (every reading's frame was under the head somewhere between its request and its reply),
// and the frame at atNs is counted on (or back, no further than those readings go) from the
// latest. A still tape, jog or shuttle
// gives the latest reading as it is; so does a reading too old to count on. A failed latest
// exchange gives no timecode, as a silent deck does. Nothing at all (std::nullopt) while
// there is no reading to go on: no port, or none asked yet.
std::optional<Timecode> DeckTimecodeAt(const std::vector<DeckReading>& readings, int64_t atNs,
                                       TimecodeRate rate);

// One reading as the phase fit sees it: its frame counted from the latest reading's, and its
// exchange in nanoseconds from the latest reply.
struct DeckSample {
    long long frame;
    double askedNs;
    double answeredNs;
};

// A reading whose frame is time as the phase fit sees it, against the latest reading.
DeckSample DeckSampleOf(const DeckReading& reading, const Timecode& time, const DeckReading& last,
                        const Timecode& latest);

// When the latest reading's frame began, as far as the readings agree on it: after earliest,
// and at latest at the latest.
struct DeckPhase {
    int readings = 0; // the latest this many readings agree
    bool advanced = false;
    double earliest = -std::numeric_limits<double>::infinity();
    double latest = std::numeric_limits<double>::infinity();
};

// Each reading's frame was under the head at some moment of its exchange, so the frame began
// no later than the reply and ended after the request. Taken newest first, the readings narrow
// down where the latest frame began, until one disagrees: the tape was stopped or moved there.
DeckPhase FitDeckPhase(const std::vector<DeckSample>& samples, double periodNs);
