#pragma once

#include "formats/interchange_formats.h"
#include "persist/list_line.h"
#include "timecode/timecode_rate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The list for other programs, one generic entry that the window and tarnwick-export share:
// spreadsheets (CSV, an Excel workbook), editing systems (an EDL of events, a log of clips,
// markers for timelines). Every export takes the rows as the grid holds them (rows[0] is row
// 1), writes the rows the list file writes (ListRowHoldsAnything), in row order, counted at
// the list's rate; a row that can become no entry of a timeline format is left out and named.

// The formats are the rows of interchange_formats.h.

// The format's extension, without the dot.
QString ExportExtension(const InterchangeFormat& format);

// The save dialog's filter, e.g. "CSV Files (*.csv)", and its title, which names the format.
QString ExportFilter(const InterchangeFormat& format);
QString ExportDialogTitle(const InterchangeFormat& format);

// The name the save dialog proposes: the list file's name with the export's extension in
// place of its own, or spotlist.csv etc. when the list has no file yet, with the format's
// suffix after the name (markers in an EDL: "spots-markers.edl").
QString ExportFileName(const QString& listPath, const InterchangeFormat& format);

// The chosen path with the export's extension added when its name has none.
QString WithExportExtension(const QString& path, const InterchangeFormat& format);

// Whether rows can be left out of this format (a timeline format); CSV and the workbook keep
// every row that holds anything.
bool ExportLeavesOutRows(const InterchangeFormat& format);

// The export's bytes and the rows it left out. The title of the EDLs, the log's tape and the
// timelines' names come from the list file's name (listPath; "Tarnwick" without one).
ExportBuild BuildExport(const InterchangeFormat& format, const QVector<ListRowText>& rows,
                        const QString& listPath, TimecodeRate rate);

// The message naming the rows an export left out, by their No.
QString ExportSkippedRowsMessage(const InterchangeFormat& format, const QVector<int>& rows);

// The EDL's own wording of that message, kept for the EDL of events.
QString EdlSkippedRowsMessage(const QVector<int>& rows);

// What a row becomes, in one word for the converter's notes: "イベント", in English "event".
QString ExportEntryWord(ExportEntry entry);

// Row numbers as the No. column shows them, for messages: "0003, 0007".
QString RowNumberList(const QVector<int>& rows);

// The message naming the rows whose text the format could not hold and so got by its rule.
QString ExportTextChangedMessage(const QVector<int>& rows);

// Builds the export and writes it to outPath atomically (an earlier file stays whole on
// failure). *skippedRows (optional) receives the rows that made no entry, *changedRows
// (optional) those whose text was changed. False when the export could not be made or the
// file could not be written.
bool ExportList(const QString& outPath, const InterchangeFormat& format,
                const QVector<ListRowText>& rows, const QString& listPath, TimecodeRate rate,
                QVector<int>* skippedRows, QVector<int>* changedRows = nullptr);
