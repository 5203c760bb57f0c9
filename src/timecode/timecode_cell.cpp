#include "timecode/timecode_cell.h"

#include "timecode/timecode_scan.h"

TimecodeCell TimecodeCell::Read(std::string_view text, TimecodeRate rate) {
    TimecodeCell cell;
    cell.m_rate = rate;
    // The exact form first: what captures and edits write, and the cheap case.
    cell.m_value = Timecode::FromText(text, rate);
    if (cell.m_value) {
        cell.m_frames = cell.m_value.Frame();
        return cell;
    }
    cell.m_text = std::string(text);
    int f[4] = {};
    if (ScanTimecodeFields(text, f) < 4)
        return cell;
    cell.m_beyondRate = rate.Fps() != 30 && f[3] >= rate.Fps();
    if (cell.m_beyondRate)
        return cell;
    const long long frames = LabelToFrames64(TimecodeLabel{f[0], f[1], f[2], f[3]}, rate);
    if (frames >= -MAX_CELL_FRAMES && frames <= MAX_CELL_FRAMES)
        cell.m_frames = static_cast<int>(frames);
    return cell;
}

TimecodeCell TimecodeCell::At(TimecodeRate rate) const {
    return rate == m_rate ? *this : Read(Text(), rate);
}

std::string TimecodeCell::Text() const {
    return m_value ? m_value.Text() : m_text;
}
