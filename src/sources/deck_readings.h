#pragma once

#include "timecode/timecode_value.h"

#include <cstdint>
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
