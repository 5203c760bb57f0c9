#pragma once

#include "timecode/timecode_value.h"

#include <optional>
#include <string>
#include <string_view>

// Largest frame count a list cell may hold (about 9,900 hours at 30). Bounding the cells keeps
// OUT - IN, its magnitude and IN - gap inside an int, so a hand-edited cell with a huge
// number can never overflow the arithmetic.
constexpr int MAX_CELL_FRAMES = 0x3FFFFFFF;

// An IN, OUT or DURATION cell of the list, read at the list's counting. A cell whose text is
// exactly a label at that counting (what a capture or an edit writes) holds that Timecode;
// any other text (empty, a skipped drop-frame label, "1:2:3:4", "99:99:99:99", a remark typed
// into the wrong column of a file) is kept as given, so that it reaches the file unchanged.
//
// Every cell has the count the row arithmetic uses: its text read as "%d:%d:%d:%d" with no
// range test on the fields, as the list has always read its cells, so that loose text a file
// brought still gives a duration. Nothing when fewer than four numbers can be read, when the
// frame number lies beyond a rate of 24 or 25 (see LabelBeyondRate), or when the count lies
// beyond +/- MAX_CELL_FRAMES. For a label the count is its frame.
class TimecodeCell {
public:
    // The empty cell.
    TimecodeCell() = default;

    static TimecodeCell Read(std::string_view text, TimecodeRate rate);
    // The same text read at another counting.
    TimecodeCell At(TimecodeRate rate) const;

    // The text as given, or the label's "HH:MM:SS:FF".
    std::string Text() const;
    bool IsEmpty() const { return !m_value && m_text.empty(); }
    // The frame, when the text is a label at the cell's counting; else no timecode.
    const Timecode& Value() const { return m_value; }
    TimecodeRate Rate() const { return m_rate; }
    std::optional<int> Frames() const { return m_frames; }
    // Whether the text names a frame number the rate cannot hold (frame 25 at 25): such a cell
    // was written at another rate, and counting it here would name another moment without a
    // word. At 30 the frames are not range-tested, as they never were.
    bool LabelBeyondRate() const { return m_beyondRate; }

    // Two cells are alike when they show the same text counted alike.
    bool operator==(const TimecodeCell& other) const {
        return m_rate == other.m_rate && m_value == other.m_value && m_text == other.m_text;
    }
    bool operator!=(const TimecodeCell& other) const { return !(*this == other); }

private:
    Timecode m_value;
    std::string m_text; // empty while m_value holds the label
    TimecodeRate m_rate;
    std::optional<int> m_frames;
    bool m_beyondRate = false;
};
