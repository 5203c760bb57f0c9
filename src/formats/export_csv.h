#pragma once

#include "list/list_layout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The list as a table for spreadsheets: the header and one line of cells per row that the list
// file would write. The CSV and the workbook share it.

// "No", "SP No.", "IN", "OUT", "DURATION", "REMARK".
QStringList ListTableHeader();

// No. ("%04d" of the row), SP No., IN, OUT, DURATION as the cells hold them and the remark
// without the leading space its cell keeps; one entry per row that holds anything.
QVector<QStringList> ListTableRows(const QVector<ListRowText>& rows);

// A cell that a spreadsheet would compute rather than show: it starts with '=', '+', '-',
// '@', a tab or a carriage return.
bool SpreadsheetWouldEvaluate(const QString& cell);

// A cell the CSV writes with an apostrophe before it: one a spreadsheet would compute, and one
// whose own apostrophes stand before such a text ('=1), so that taking one apostrophe off on
// the way back in gives every cell as it was.
bool CsvMarksAsText(const QString& cell);

// UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting. A cell that a spreadsheet would
// compute is written with an apostrophe before it ('=1+2), which spreadsheets take as the
// mark of a text cell; every other cell keeps its bytes.
QByteArray BuildCsv(const QVector<ListRowText>& rows);
