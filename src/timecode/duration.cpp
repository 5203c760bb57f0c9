#include "timecode/duration.h"

#include "timecode/timecode.h"
#include "timecode/timecode_count.h"
#include "timecode/timecode_scan.h"

#include <climits>
#include <cstdio>

bool CellTextToFrames(const char* text, int drop, int* count) {
    int f[4] = {};
    if (ScanTimecodeFields(text, f) < 4)
        return false;
    const long long frames = TimecodeToFrames64(f[0], f[1], f[2], f[3], drop);
    if (frames < -MAX_CELL_FRAMES || frames > MAX_CELL_FRAMES)
        return false;
    *count = static_cast<int>(frames);
    return true;
}

namespace {

std::string FormatLabel(const char* sign, int count, int drop) {
    int h = 0;
    int m = 0;
    int s = 0;
    int f = 0;
    FramesToTimecode(&h, &m, &s, &f, count, drop);
    char text[64];
    std::snprintf(text, sizeof text, "%s%02d:%02d:%02d:%02d", sign, h, m, s, f);
    return text;
}

} // namespace

std::string FormatTimecode(int count, int drop) {
    return FormatLabel("", count < 0 ? 0 : count, drop);
}

std::string FormatDuration(int diff, int drop) {
    // INT_MIN has no magnitude in an int; cell counts never come near it, but no argument
    // may overflow.
    if (diff == INT_MIN)
        diff = INT_MIN + 1;
    return diff < 0 ? FormatLabel("-", -diff, drop) : FormatLabel("", diff, drop);
}

bool RowDuration(const char* inText, const char* outText, int drop, int* diff) {
    int in = 0;
    int out = 0;
    if (!CellTextToFrames(inText, drop, &in) || !CellTextToFrames(outText, drop, &out))
        return false;
    *diff = out - in; // both within MAX_CELL_FRAMES of zero, so no overflow
    return true;
}

bool FrameCheckNewOut(const char* inText, const char* prevOutText, int frameCheck, int drop,
                      std::string* newOutText) {
    int in = 0;
    int prevOut = 0;
    if (!CellTextToFrames(inText, drop, &in) || !CellTextToFrames(prevOutText, drop, &prevOut))
        return false;
    // Signed comparison, in 64 bits for any gap the settings file may hold: an IN at or before
    // the previous OUT moves that OUT as well.
    if (static_cast<long long>(in) - prevOut >= frameCheck)
        return false;
    long long newOut = static_cast<long long>(in) - frameCheck;
    // An IN within the first few frames of the tape would put the OUT before 00:00:00:00;
    // written without its sign it would read as a time after the IN, so it stops at zero.
    if (newOut < 0)
        newOut = 0;
    if (newOut > INT_MAX)
        newOut = INT_MAX;
    *newOutText = FormatTimecode(static_cast<int>(newOut), drop);
    return true;
}
