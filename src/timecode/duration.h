#pragma once

#include "timecode/timecode_cell.h"

#include <optional>
#include <string>

// The row duration and the frame check on list cells, with no window: the list hands over
// its cells, calls these and writes back what they give. Each counts the cells at the rate
// given, whatever counting they were read at.

// "%02d:%02d:%02d:%02d" of the count at the rate. Counts below zero are written as
// 00:00:00:00.
std::string FormatTimecode(int count, TimecodeRate rate);

// A duration: the label of its magnitude, with a leading "-" when it is negative.
std::string FormatDuration(int diff, TimecodeRate rate);

// OUT minus IN in frames; nothing when either cell has no count: the row then has no
// duration.
std::optional<int> RowDuration(const TimecodeCell& in, const TimecodeCell& out, TimecodeRate rate);

// The frame check between the OUT of the row above and the IN just set: when the IN lies
// fewer than frameCheck frames after that OUT (or at or before it), gives the cell the OUT
// must become, IN - frameCheck but never before 00:00:00:00. Nothing when the gap is wide
// enough or either cell has no count: the OUT then stays as it is.
std::optional<TimecodeCell> FrameCheckNewOut(const TimecodeCell& in, const TimecodeCell& prevOut,
                                             int frameCheck, TimecodeRate rate);
