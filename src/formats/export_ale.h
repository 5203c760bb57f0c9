#pragma once

#include "formats/export_spots.h"

// A log for editing systems' bins: Avid Log Exchange, tab-delimited text (UTF-8, CR LF). The
// Heading names the rate (FPS 24, 25, 29.97 for drop-frame, 30 for non-drop); the Column line
// is Name, Tracks, Start, End, Tape, Comments; one Data line per spot: the SP No. as the clip's
// name, track V, IN and OUT (drop-frame labels with ';' before the frames, as such logs mark
// them), the list's title as the tape and the remark as the comment. Tabs and line breaks in a
// text become spaces: each would end a field or a line.
ExportBuild BuildAle(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);

// The FPS value of the heading.
QString AleFps(TimecodeRate rate);
