#pragma once

#include "timecode/timecode_rate.h"

#include <optional>
#include <string>

// The row duration and the frame check on list-cell texts, with no window: the list reads
// the cells, calls these and writes back what they give.

// Largest frame count a list cell may hold (about 9,900 hours at 30). Bounding the cells keeps
// OUT - IN, its magnitude and IN - gap inside an int, so a hand-edited cell with a huge
// number can never overflow the arithmetic.
constexpr int MAX_CELL_FRAMES = 0x3FFFFFFF;

// Reads a cell text as "%d:%d:%d:%d" with no range test on the fields (but the frames at 24 and
// 25, see CellLabelBeyondRate) and counts it at the rate. Nothing when fewer than four numbers can
// be read (an empty cell included) or the count lies beyond +/- MAX_CELL_FRAMES.
std::optional<int> CellTextToFrames(const char* text, TimecodeRate rate);

// Whether a cell holds a label whose frame number the rate cannot hold (frame 25 at 25): read
// as CellTextToFrames reads it, such a cell has no count at 24 or 25. At 30 the frames are not
// range-tested, as they never were.
bool CellLabelBeyondRate(const char* text, TimecodeRate rate);

// "%02d:%02d:%02d:%02d" of the count at the rate. Counts below zero are written as
// 00:00:00:00.
std::string FormatTimecode(int count, TimecodeRate rate);

// A duration: the label of its magnitude, with a leading "-" when it is negative.
std::string FormatDuration(int diff, TimecodeRate rate);

// OUT minus IN in frames; nothing when either cell cannot be read: the row then has no
// duration.
std::optional<int> RowDuration(const char* inText, const char* outText, TimecodeRate rate);

// The frame check between the OUT of the row above and the IN just set: when the IN lies
// fewer than frameCheck frames after that OUT (or at or before it), gives the text the OUT
// must become, IN - frameCheck but never before 00:00:00:00. Nothing when the gap is wide
// enough or either cell cannot be read: the OUT then stays as it is.
std::optional<std::string> FrameCheckNewOut(const char* inText, const char* prevOutText,
                                            int frameCheck, TimecodeRate rate);
