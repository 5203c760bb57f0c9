#pragma once

#include "persist/list_file.h"
#include "timecode/timecode_rate.h"

#include <QVector>

// The rows as the Open command leaves them in the grid after reading a list file: every row
// numbered "%04d", and the DURATION of each row with both IN and OUT computed from them in
// the given counting mode (1 drop-frame, 0 non-drop); a row whose times cannot be read, or
// that lacks one of them, has no duration. For the programs that read list files without a
// window.
QVector<ListRowText> RowsAsOpened(const ListFileContents& contents, TimecodeRate rate);
