#pragma once

#include "timecode/timecode_cell.h"

#include <QString>

// The texts the list's cells take from the operator: the live timecode, and what an edit of a
// cell may hold.

constexpr int TIMECODE_LENGTH = 11; // "00:00:00:00"
// Room for the one typed character before the overwrite mask removes the one it replaces.
constexpr int TIMECODE_EDIT_LIMIT = TIMECODE_LENGTH + 1;
constexpr int TIMECODE_EDIT_CARET = 9; // before the frames
constexpr int TIMECODE_LAST_CARET = TIMECODE_LENGTH - 1;
constexpr int SPNO_LIMIT = 5;
constexpr int REMARK_LIMIT = 255;

// The live timecode as a capture or an edit writes it into a cell: HH:MM:SS:FF, and
// 00:00:00:00 while the source has none (a silent deck, no port).
QString CaptureCellText(const Timecode& live);

// An IN, OUT or DURATION cell's text read at a counting, and its text back: any text a file
// can hold comes back as it went in (the cell keeps it as UTF-8).
TimecodeCell ReadCell(const QString& text, TimecodeRate rate);
QString CellText(const TimecodeCell& cell);

// A text an IN or OUT cell may take from the editor at the list's frame rate: exactly
// HH:MM:SS:FF with every field in range, the frames below fps. The range test alone reads its
// fields as a formatted scan does, so it would also pass "01:00:10:011" (typed at the end of the
// text) or a pasted "1:2:3:4" padded with blanks.
bool IsTimecodeEditText(const QString& text, int fps);

// What a change put into a text: the part of after between what it kept at either end.
QString InsertedText(const QString& before, const QString& after);
int CommonPrefixLength(const QString& a, const QString& b);

// What an edit keeps of a change under its length limit: what was typed or pasted is cut to
// the room the rest of the text leaves, so nothing goes in while the text is at or over the
// limit, while deleting always works. The limit stops input only: a longer text put into the
// editor when it opens (from a list file) stays whole. *caret is set after what went in.
QString LimitEditChange(const QString& before, const QString& after, int limit, int* caret);

// Where the caret of a timecode edit goes for Left or Right from the selection start s: it
// always rests before a digit, skips the colons, and never passes the last digit. The result
// is where the editor's own one-character move, which follows the key, must start from.
int TimecodeCaretBeforeMove(const QString& text, int s, bool left);
