#pragma once

#include <string>

// The row duration and the frame check on list-cell texts, with no window: the dialog reads
// the cells, calls these and writes back what they give.

// Largest frame count a list cell may hold (about 9,900 hours). Bounding the cells keeps
// OUT - IN, its magnitude and IN - gap inside an int, so a hand-edited cell with a huge
// number can never overflow the arithmetic.
constexpr int MAX_CELL_FRAMES = 0x3FFFFFFF;

// Reads a cell text as "%d:%d:%d:%d" with no range test on the fields and converts it in the
// given counting mode. Returns false, leaving *count alone, when fewer than four numbers can
// be read (an empty cell included) or the count lies beyond +/- MAX_CELL_FRAMES.
bool CellTextToFrames(const char* text, int drop, int* count);

// "%02d:%02d:%02d:%02d" of the count in the given counting mode. Counts below zero are
// written as 00:00:00:00.
std::string FormatTimecode(int count, int drop);

// A duration: the label of its magnitude, with a leading "-" when it is negative.
std::string FormatDuration(int diff, int drop);

// OUT minus IN in frames. Returns false when either cell cannot be read: the row then has no
// duration.
bool RowDuration(const char* inText, const char* outText, int drop, int* diff);

// The frame check between the OUT of the row above and the IN just set: when the IN lies
// fewer than frameCheck frames after that OUT (or at or before it), gives the text the OUT
// must become, IN - frameCheck but never before 00:00:00:00, and returns true. Returns false
// when the gap is wide enough or either cell cannot be read: the OUT then stays as it is.
bool FrameCheckNewOut(const char* inText, const char* prevOutText, int frameCheck, int drop,
                      std::string* newOutText);
