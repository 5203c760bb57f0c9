#pragma once

#include "formats/export_ale.h"
#include "formats/export_csv.h"
#include "formats/export_edl.h"
#include "formats/export_markers.h"
#include "formats/export_xlsx.h"
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

enum class ExportFormat { Csv, Edl, Xlsx, Ale, MarkerEdl, Fcpxml, Xmeml, Otio };

// Every format, in the order of the list's context menu.
QVector<ExportFormat> ExportFormats();

// "csv", "edl", "xlsx", "ale", "fcpxml", "xml" (Final Cut Pro 7) or "otio", without the dot.
QString ExportExtension(ExportFormat format);

// The save dialog's filter, e.g. "CSV Files (*.csv)".
QString ExportFilter(ExportFormat format);

// The name the save dialog proposes: the list file's name with the export's extension in
// place of its own, or spotlist.csv etc. when the list has no file yet. Markers in an EDL get
// "-markers" after the name, so that they do not take the place of the EDL of events.
QString ExportFileName(const QString& listPath, ExportFormat format);

// The chosen path with the export's extension added when its name has none.
QString WithExportExtension(const QString& path, ExportFormat format);

// Whether rows can be left out of this format (a timeline format); CSV and the workbook keep
// every row that holds anything.
bool ExportLeavesOutRows(ExportFormat format);

// The export's bytes and the rows it left out. The title of the EDLs, the log's tape and the
// timelines' names come from the list file's name (listPath; "Tarnwick" without one).
ExportBuild BuildExport(ExportFormat format, const QVector<ListRowText>& rows,
                        const QString& listPath, TimecodeRate rate);

// The message naming the rows an export left out, by their No.
QString ExportSkippedRowsMessage(ExportFormat format, const QVector<int>& rows);

// The EDL's own wording of that message, kept for the EDL of events.
QString EdlSkippedRowsMessage(const QVector<int>& rows);

// Row numbers as the No. column shows them, for messages: "0003, 0007".
QString RowNumberList(const QVector<int>& rows);

// Builds the export and writes it to outPath atomically (an earlier file stays whole on
// failure). *skippedRows (optional) receives the rows that made no entry. False when the
// export could not be made or the file could not be written.
bool ExportList(const QString& outPath, ExportFormat format, const QVector<ListRowText>& rows,
                const QString& listPath, TimecodeRate rate, QVector<int>* skippedRows);
