#pragma once

#include "persist/list_line.h"

#include <QVector>

class PrintSurface;

constexpr int PRINT_MARGIN = 150; // tenths of a millimetre: left, top and bottom margin
constexpr int PRINT_FONT_POINTS = 11;
constexpr double PRINT_LINE_FACTOR = 1.25; // line advance in font heights
constexpr char PRINT_HEADER[] = "No   SPNo  IN          OUT         DUR   REMARK";

// number * numerator / denominator with a 64-bit product, rounded to nearest (halves away
// from zero); -1 when denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);

// Lays out and draws the list, one line per row that holds anything, with the title line at
// the top of every page. A page is started only for a row that is about to be drawn, so a
// list without printable rows draws no page at all.
void PrintPages(PrintSurface& dc, const QVector<ListRowText>& rows);
