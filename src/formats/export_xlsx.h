#pragma once

#include "formats/export_spots.h"

// The list as an Excel workbook (Office Open XML), made by libxlsxwriter: one sheet named
// after the list, the CSV's columns, every cell a text cell (0001 stays 0001, =1+2 stays
// text, nothing is a formula), the header bold and frozen, each column wide enough for its
// longest text (a wide character counting two). ok is false when the library failed.
ExportBuild BuildXlsx(const QVector<ListRowText>& rows, const QString& title);

// The width a spreadsheet needs for a text, in character widths: East Asian wide and
// full-width characters count two.
int SpreadsheetTextWidth(const QString& text);
