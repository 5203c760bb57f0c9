#include "timecode/duration.h"

#include "timecode/timecode_value.h"

#include <climits>

namespace {

// A cell read at another counting (the Drop setting changed since it was written) is read
// again at this one.
std::optional<int> FramesAt(const TimecodeCell& cell, TimecodeRate rate) {
    return cell.Rate() == rate ? cell.Frames() : cell.At(rate).Frames();
}

} // namespace

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

std::optional<int> RowDuration(const TimecodeCell& inCell, const TimecodeCell& outCell,
                               TimecodeRate rate) {
    const std::optional<int> in = FramesAt(inCell, rate);
    const std::optional<int> out = FramesAt(outCell, rate);
    if (!in || !out)
        return std::nullopt;
    return *out - *in; // both within MAX_CELL_FRAMES of zero, so no overflow
}

std::optional<TimecodeCell> FrameCheckNewOut(const TimecodeCell& inCell,
                                             const TimecodeCell& prevOutCell, int frameCheck,
                                             TimecodeRate rate) {
    const std::optional<int> in = FramesAt(inCell, rate);
    const std::optional<int> prevOut = FramesAt(prevOutCell, rate);
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
    // At drop-frame a count past the day keeps its hours (24 and more): no label, so the cell
    // keeps that text as it always did.
    return TimecodeCell::Read(FormatTimecode(static_cast<int>(newOut), rate), rate);
}
