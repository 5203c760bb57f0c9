#pragma once

#include "persist/list_line.h"

#include <QDate>
#include <QString>
#include <QVector>

class PrintSurface;

constexpr int PRINT_MARGIN = 150; // tenths of a millimetre: left, top, bottom and right margin
constexpr int PRINT_FONT_POINTS = 11;
constexpr double PRINT_LINE_FACTOR = 1.25; // line advance in font heights
constexpr char PRINT_HEADER[] = "No   SPNo  IN          OUT         DUR   REMARK";
// Where the page is too narrow for the rest of a line, a remark still gets this many columns
// a line, and its lines run past the right margin rather than one character a line.
constexpr int PRINT_REMARK_MIN_COLUMNS = 20;

// number * numerator / denominator with a 64-bit product, rounded to nearest (halves away
// from zero); -1 when denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);

// The line above the title of every page: the list's name at the left, the date and
// "page / pages ページ" at the right end of a line of columns columns. A name too long for the
// line is cut short with "…"; an empty one leaves the left blank.
QString PageHeading(const QString& listName, const QDate& date, int page, int pages, int columns);

// Lays out and draws the list, one line per row that holds anything, with the title line at
// the top of every page and the page heading (list name, date, page of pages) in the top
// margin above it. A remark that would run past the right margin goes on over further lines
// under the REMARK column, and a row's lines stay on one page unless the row alone is longer
// than a page. A page is started only for a row that is about to be drawn, so a list without
// printable rows draws no page at all.
void PrintPages(PrintSurface& dc, const QVector<ListRowText>& rows, const QString& listName,
                const QDate& date);
