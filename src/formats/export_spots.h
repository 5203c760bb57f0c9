#pragma once

#include "list/list_layout.h"
#include "timecode/timecode_value.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The rows of the list as spots on a timeline: what every timeline export (EDL, log, markers)
// is built from. A spot needs an IN and a later OUT, both labels that exist at the list's rate.

struct SpotEntry {
    int row = 0;    // 1 = row 1
    QString spNo;   // as the cell holds it
    QString remark; // as shown, without the cell's leading space
    Timecode in, out;
};

struct SpotEntries {
    QVector<SpotEntry> entries;
    // Rows (1 = row 1) that hold something but make no spot: IN or OUT missing or no label
    // of the rate (a label that drop-frame skips included), or OUT not after IN.
    QVector<int> skippedRows;
};

// A cell's timecode, read as the window reads a cell ("%d:%d:%d:%d", so "1:2:3:4" or text
// after the timecode are accepted); no timecode when the fields are out of range or name a
// label that the rate does not have.
Timecode CellTimecode(const QString& cell, TimecodeRate rate);

// The spots of the rows that the list file would write, in row order.
SpotEntries CollectSpots(const QVector<ListRowText>& rows, TimecodeRate rate);

// Where a timeline made of the spots starts: 01:00:00:00, where editing timelines usually
// start, unless a spot lies before it; then the earliest IN.
Timecode TimelineStart(const QVector<SpotEntry>& entries, TimecodeRate rate);

// The frame after the last OUT: where such a timeline ends (at least its start).
long long TimelineEnd(const QVector<SpotEntry>& entries, const Timecode& start);

// A frame's length in seconds as a fraction, the way the XML and JSON interchange formats
// state a rate: 24 and 25 exactly, 30 drop-frame at 29.97 (1001/30000), 30 non-drop at 30.
// Non-drop labels count 30 a second; the interchange files then say 30, whatever pace the
// tape played at.
struct FrameLength {
    int numerator;
    int denominator;
};
FrameLength FrameLengthOf(TimecodeRate rate);

// Frames a second as a real number: 24, 25, 29.97002997... or 30.
double FramesPerSecond(TimecodeRate rate);

// What an export gives: its bytes, and the rows (1 = row 1) that made no entry in it.
// ok is false only when the bytes could not be made at all (a library failed).
struct ExportBuild {
    QByteArray bytes;
    QVector<int> skippedRows;
    bool ok = true;
    QVector<int> changedRows; // rows written whose text the format could not hold as it was
};

// The label of a timecode as "HH:MM:SS:FF", with dropSeparator before the frames when the
// rate counts drop-frame (';' is how many systems mark drop-frame labels).
QString TimecodeLabelText(const Timecode& tc, QChar dropSeparator = QLatin1Char(':'));

// The list file's name without folder and extension, or the fallback without a file.
QString ListTitle(const QString& listPath, const QString& fallback = QStringLiteral("Tarnwick"));

// Text for XML: characters XML 1.0 cannot carry (control characters other than tab and
// line ends, lone surrogates, U+FFFE and U+FFFF) become U+FFFD.
QString XmlSafe(const QString& text);

// Text that must stay on one line: line breaks and other control characters become spaces.
QString OneLine(const QString& text);

// Text in an EDL note: as OneLine, but tabs stay (a note runs to the end of its line).
QString EdlText(const QString& text);

// The rows (1 = row 1) among those written whose SP No. or remark the format's rule changes.
QVector<int> ChangedRows(const QVector<SpotEntry>& entries, QString (*rule)(const QString& text));
