#pragma once

#include "sources/deck_readings.h"
#include "sources/live_timecode.h"

#include <optional>
#include <vector>

// What a deck's readings tell of the rate its tape runs at, whatever the list counts: a deck
// is asked its labels and never says its rate. Two things tell it. Its labels: a frame 27
// exists only at 30. Its pace: while the tape plays steadily, the readings' frames keep
// time with the steady clock at the deck's rate alone (a second of readings at least).

// The rate the pace of play shows, over the steady run of readings that ends with the latest,
// when that run lasts a second or more; nothing otherwise (a still tape, a deck winding, too
// few readings, a tape that moved at another speed).
std::optional<SignalRate> DeckPaceRate(const std::vector<DeckReading>& readings);

// The fewest frames a second that every label among the readings needs: 25 once a frame 24
// has been read, 30 once one of 25 to 29; nothing while every frame is below 24. A reading
// that holds no label at all is passed over.
std::optional<int> DeckLabelFps(const std::vector<DeckReading>& readings);
