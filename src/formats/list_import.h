#pragma once

#include "formats/import_budget.h"
#include "list/list_layout.h"
#include "timecode/timecode_rate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Lists that come in from other programs: a CMX 3600 EDL (events, or markers in the EDL
// layout), a CSV in the export's columns (as saved by a spreadsheet too: comma, semicolon or tab
// separated, UTF-8 with or without a byte-order mark, UTF-16, or code page 932), an Avid log
// (.ale), an Excel workbook of ours, and the marker files of FCPXML, Final Cut Pro 7 XML and
// OpenTimelineIO. What comes back is the list's rows: IN, OUT, SP No. and remark per row,
// durations computed at the list's rate, at most MAX_LIST_ROWS rows. What could not be taken
// is named with the reason, for one box.

enum class ImportFormat { Unknown, Csv, Edl, Ale, Xlsx, Fcpxml, Xmeml, Otio };

enum class ImportSkipReason {
    TooMany,    // past the list's 40 rows
    Unreadable, // a line, row or marker that could not be read
    // The row came in, but a label in it is no timecode of the rate (KeptNoSuchLabel: frames
    // past the rate, a label that drop-frame skips, hours past 23), kept in its cell as text
    // as the window keeps a typed one, or no timecode at all (KeptUnreadable), its cell left
    // empty.
    KeptNoSuchLabel,
    KeptUnreadable,
};

struct ImportSkip {
    QString where; // "12行目", "3番目のマーカー": where in the file, as the box names it
    ImportSkipReason reason;
    QString detail; // the label that does not exist, or nothing
};

struct ImportedList {
    bool read = false;                     // false: nothing was read (the list must stay as it is)
    QString error;                         // why, in the box's words, when nothing was read
    ImportLimit limit = ImportLimit::None; // the limit that refused the file, if one did
    ImportFormat format = ImportFormat::Unknown;
    // rows[0] is row 1: No. "%04d", SP No., IN and OUT as "HH:MM:SS:FF" (empty where the
    // file had none), DURATION computed from them at the rate, the remark with the cell's
    // leading space. Only as many rows as the last one filled.
    QVector<ListRowText> rows;
    QVector<ImportSkip> leftOut;
};

// Reads a file whole and imports it (the format from its content, see ImportFormatOf). Only a
// plain file is read (a link is followed to one), never waited on: a FIFO, a device or a
// folder is refused at once. Takes at most MAX_IMPORT_BYTES and the budget of
// formats/import_budget.h; safe to run on any thread.
ImportedList ImportListFile(const QString& path, TimecodeRate rate);

// Imports bytes of a format; Unknown looks at the content.
ImportedList ImportListBytes(const QByteArray& bytes, ImportFormat format, TimecodeRate rate);

// The format a file's bytes are in, by their content; Unknown when they are none of them.
ImportFormat ImportFormatOf(const QByteArray& bytes);

// The open dialog's filter.
QString ImportFilter();

// The box that names what was left out and the labels kept as text; empty when there are
// none.
QString ImportLeftOutMessage(const QVector<ImportSkip>& leftOut);
