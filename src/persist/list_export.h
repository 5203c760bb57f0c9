#pragma once

#include "persist/list_line.h"
#include "timecode/timecode_rate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The list for other programs: CSV for spreadsheets, EDL (CMX 3600) for editing systems.
// Both take the rows as the grid holds them (rows[0] is row 1) and export the same rows as
// the list file writes (ListRowHoldsAnything), in row order.

enum class ExportFormat { Csv, Edl };

// "csv" or "edl", without the dot.
QString ExportExtension(ExportFormat format);

// The save dialog's filter: "CSV Files (*.csv)" or "EDL Files (*.edl)".
QString ExportFilter(ExportFormat format);

// The name the save dialog proposes: the list file's name with the export's extension in
// place of its own, or spotlist.csv / spotlist.edl when the list has no file yet.
QString ExportFileName(const QString& listPath, ExportFormat format);

// The chosen path with the export's extension added when its name has none.
QString WithExportExtension(const QString& path, ExportFormat format);

// UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting; a header line, then per row No.
// ("%04d" of the row), SP No., IN, OUT, DURATION as the cells hold them and the remark
// without the leading space its cell keeps.
QByteArray BuildCsv(const QVector<ListRowText>& rows);

// The EDL's title: the list file's base name, or "Tarnwick" without a file.
QString EdlTitle(const QString& listPath);

struct EdlBuild {
    QByteArray bytes;
    // Rows (1 = row 1) that hold something but make no event: IN or OUT missing or no valid
    // timecode, OUT not after IN, or an event that would run past 23:59:59:29 of the record
    // timeline.
    QVector<int> skippedRows;
};

// UTF-8 without a byte-order mark, CR LF. One event per row with a valid IN and a later
// valid OUT, reel AX, record times from 01:00:00:00 back to back, counted at the rate, whose
// drop-frame or non-drop counting the FCM line names. Line breaks and other control
// characters in the title, SP No. and remark become spaces: each must stay on its line.
EdlBuild BuildEdl(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate);

// The message naming the skipped rows by their No.
QString EdlSkippedRowsMessage(const QVector<int>& rows);

// Row numbers as the No. column shows them, for messages: "0003, 0007".
QString RowNumberList(const QVector<int>& rows);

// Builds the export and writes it to outPath atomically (an earlier file stays whole on
// failure). For an EDL, the title comes from listPath and *skippedRows (optional) receives
// the rows that made no event. False when the file could not be written.
bool ExportList(const QString& outPath, ExportFormat format, const QVector<ListRowText>& rows,
                const QString& listPath, TimecodeRate rate, QVector<int>* skippedRows);
