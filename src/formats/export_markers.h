#pragma once

#include "formats/export_spots.h"

// The spots as markers on an editing timeline, one interchange file per family of systems.
// Each marker is named after the SP No., carries the remark as its comment, sits at the
// spot's IN and lasts OUT - IN. The timeline starts where TimelineStart says (01:00:00:00, or
// the earliest IN when a spot lies before it), so that every marker shows the IN's own
// timecode, and runs to the last OUT.

// FCPXML, version FCPXML_VERSION: a library's event holding one project whose sequence has one
// gap, starting at the timeline's start and lasting to the last OUT, with the markers on it.
// Times are fractions of a second counted in frames of FrameLengthOf(rate).
ExportBuild BuildFcpxml(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);
constexpr char FCPXML_VERSION[] = "1.11";

// Final Cut Pro 7 XML (xmeml version 4): one sequence whose timecode starts at the timeline's
// start, with an empty video track and the markers (in and out counted in frames from the
// sequence's start).
ExportBuild BuildXmeml(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);

// OpenTimelineIO JSON: a Timeline whose global start time is the timeline's start, one video
// track holding one gap to the last OUT, and the markers (Marker.2) on that track.
ExportBuild BuildOtio(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);
