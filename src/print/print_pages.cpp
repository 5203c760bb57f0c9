#include "print/print_pages.h"

#include "platform/codepage.h"
#include "print/print_surface.h"

#include <cstdint>
#include <limits>

int MulDiv(int number, int numerator, int denominator) {
    std::int64_t n = static_cast<std::int64_t>(number) * numerator;
    std::int64_t d = denominator;
    if (d == 0) {
        return -1;
    }
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const std::int64_t q = n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(q);
}

void PrintPages(PrintSurface& dc, const QVector<ListRowText>& rows) {
    const QPoint margin = dc.LoMetricToPixels(PRINT_MARGIN);
    const double mx = margin.x();
    const double my = margin.y();
    const int bottom = dc.VertRes() - margin.y();

    // The requested height is the character cell (ascent plus descent), rounded to the
    // nearest printer pixel.
    const int h = MulDiv(PRINT_FONT_POINTS, dc.LogPixelsY(), 72);
    dc.SelectFont(h);
    const double advance = PRINT_LINE_FACTOR * h;

    // Lines go out without their line end, which a painter would draw as a missing glyph.
    // y keeps its fraction from line to line; only the drawing position and the comparison
    // with the bottom are truncated to whole pixels, so the pitch does not drift short.
    double y = my;
    bool newPage = true;
    for (const ListRowText& row : rows) {
        QByteArray line;
        if (!FormatListLine(row, Placeholders::Print, &line)) {
            continue;
        }
        if (newPage) {
            dc.StartPage();
            dc.TextOut(static_cast<int>(mx), static_cast<int>(y),
                       QString::fromLatin1(PRINT_HEADER));
            y += advance;
            newPage = false;
        }
        dc.TextOut(static_cast<int>(mx), static_cast<int>(y), Cp932Decode(line));
        y += advance;
        // Checked after the row, not before it: a row whose top is still on the page is
        // drawn even when it reaches into the bottom margin.
        if (static_cast<int>(y) > bottom) {
            dc.EndPage();
            y = my;
            newPage = true;
        }
    }
    if (!newPage) {
        dc.EndPage();
    }
}
