#include "timecode/duration.h"

#include "timecode/timecode_scan.h"
#include "timecode/timecode_value.h"

#include <climits>

namespace {

// A frame number a list at 24 or 25 frames cannot hold: such a cell was written at another
// rate, and counting it here would name another moment without a word.
bool FrameBeyondRate(int frames, TimecodeRate rate) {
    return rate.fps != 30 && frames >= rate.fps;
}

} // namespace

bool CellLabelBeyondRate(const char* text, TimecodeRate rate) {
    int f[4] = {};
    return ScanTimecodeFields(text, f) == 4 && FrameBeyondRate(f[3], rate);
}

std::optional<int> CellTextToFrames(const char* text, TimecodeRate rate) {
    int f[4] = {};
    if (ScanTimecodeFields(text, f) < 4 || FrameBeyondRate(f[3], rate))
        return std::nullopt;
    const long long frames = LabelToFrames64(TimecodeLabel{f[0], f[1], f[2], f[3]}, rate);
    if (frames < -MAX_CELL_FRAMES || frames > MAX_CELL_FRAMES)
        return std::nullopt;
    return static_cast<int>(frames);
}

std::string FormatTimecode(int count, TimecodeRate rate) {
    return LabelText(FramesToLabel(count < 0 ? 0 : count, rate));
}

std::string FormatDuration(int diff, TimecodeRate rate) {
    // INT_MIN has no magnitude in an int; cell counts never come near it, but no argument
    // may overflow.
    if (diff == INT_MIN)
        diff = INT_MIN + 1;
    return diff < 0 ? "-" + LabelText(FramesToLabel(-diff, rate))
                    : LabelText(FramesToLabel(diff, rate));
}

std::optional<int> RowDuration(const char* inText, const char* outText, TimecodeRate rate) {
    const std::optional<int> in = CellTextToFrames(inText, rate);
    const std::optional<int> out = CellTextToFrames(outText, rate);
    if (!in || !out)
        return std::nullopt;
    return *out - *in; // both within MAX_CELL_FRAMES of zero, so no overflow
}

std::optional<std::string> FrameCheckNewOut(const char* inText, const char* prevOutText,
                                            int frameCheck, TimecodeRate rate) {
    const std::optional<int> in = CellTextToFrames(inText, rate);
    const std::optional<int> prevOut = CellTextToFrames(prevOutText, rate);
    if (!in || !prevOut)
        return std::nullopt;
    // Signed comparison, in 64 bits for any gap the settings file may hold: an IN at or before
    // the previous OUT moves that OUT as well.
    if (static_cast<long long>(*in) - *prevOut >= frameCheck)
        return std::nullopt;
    long long newOut = static_cast<long long>(*in) - frameCheck;
    // An IN within the first few frames of the tape would put the OUT before 00:00:00:00;
    // written without its sign it would read as a time after the IN, so it stops at zero.
    if (newOut < 0)
        newOut = 0;
    if (newOut > INT_MAX)
        newOut = INT_MAX;
    return FormatTimecode(static_cast<int>(newOut), rate);
}
