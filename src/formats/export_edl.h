#pragma once

#include "formats/export_spots.h"

// Edit decision lists in the CMX 3600 layout (UTF-8 without a byte-order mark, CR LF), the
// FCM line naming drop-frame or non-drop counting.

using EdlBuild = ExportBuild;

// The EDL's title: the list file's base name, or "Tarnwick" without a file.
QString EdlTitle(const QString& listPath);

// One event per spot, reel AX, source times the spot's IN and OUT, record times from
// 01:00:00:00 back to back. The SP No. and the remark follow as "* FROM CLIP NAME:" and
// "* COMMENT:" notes. Skipped: rows that make no spot, and spots whose event would run past
// the record day's last frame.
ExportBuild BuildEdl(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);

// Markers for timelines that read them from an EDL: one event a spot, a frame long, at the
// spot's IN on both source and record side, followed by the line of marker fields
// "remark |C:ResolveColorBlue |M:SP No. |D:frames", frames being OUT - IN. A '|' in the
// name or the remark would end its field early and is written as '｜' (U+FF5C).
ExportBuild BuildMarkerEdl(const QVector<ListRowText>& rows, const QString& title,
                           TimecodeRate rate);

// The colour every marker gets.
constexpr char MARKER_EDL_COLOUR[] = "ResolveColorBlue";
