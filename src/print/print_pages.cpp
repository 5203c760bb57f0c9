#include "print/print_pages.h"

#include "platform/codepage.h"
#include "print/print_surface.h"
#include "print/text_wrap.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr char ELLIPSIS[] = "…";

// The text of a row as printed lines: the list line, and for a remark that runs past
// columns, the rest of it under the REMARK column. Nothing for a row that holds nothing.
QStringList RowLines(const ListRowText& row, int columns) {
    QByteArray line;
    if (!FormatListLine(row, Placeholders::Print, &line))
        return {};
    // The remark is the last field: a one-byte remark shows where it starts, whatever the
    // widths of the fields before it.
    ListRowText probe = row;
    probe.remark = QStringLiteral(" x");
    QByteArray probeLine;
    FormatListLine(probe, Placeholders::Print, &probeLine);
    const int remarkStart = int(probeLine.size()) - 1;
    if (line.size() <= columns || remarkStart < 0 || remarkStart > line.size())
        return {Cp932Decode(line)};

    const int remarkColumns = std::max(columns - remarkStart, PRINT_REMARK_MIN_COLUMNS);
    QStringList lines = WrapToColumns(Cp932Decode(line.mid(remarkStart)), remarkColumns);
    const QString indent(remarkStart, QLatin1Char(' '));
    for (QString& l : lines)
        l.prepend(indent);
    if (lines.isEmpty())
        lines << QString();
    lines.first().replace(0, remarkStart, Cp932Decode(line.left(remarkStart)));
    return lines;
}

// The name cut, a character at a time from its end, until it and the ellipsis take at most
// columns columns.
QString Shortened(const QString& name, int columns) {
    const QString ellipsis = QString::fromUtf8(ELLIPSIS);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, name);
    graphemes.toEnd();
    for (int end = graphemes.toPreviousBoundary(); end > 0; end = graphemes.toPreviousBoundary()) {
        const QString head = name.left(end) + ellipsis;
        if (TextColumns(head) <= columns)
            return head;
    }
    return QString();
}

} // namespace

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

QString PageHeading(const QString& listName, const QDate& date, int page, int pages, int columns) {
    constexpr int GAP = 2;
    QString right =
        QCoreApplication::translate("PrintPages", "%1 / %2 ページ").arg(page).arg(pages);
    if (date.isValid())
        right.prepend(date.toString(QStringLiteral("yyyy/MM/dd")) + QString(GAP, QLatin1Char(' ')));
    QString name = listName;
    const int room = columns - TextColumns(right) - GAP;
    if (TextColumns(name) > room)
        name = Shortened(name, room);
    const int gap = std::max(GAP, columns - TextColumns(name) - TextColumns(right));
    return name + QString(gap, QLatin1Char(' ')) + right;
}

void PrintPages(PrintSurface& dc, const QVector<ListRowText>& rows, const QString& listName,
                const QDate& date) {
    const QPoint margin = dc.LoMetricToPixels(PRINT_MARGIN);
    const double mx = margin.x();
    const double my = margin.y();
    const int bottom = dc.VertRes() - margin.y();

    // The requested height is the character cell (ascent plus descent), rounded to the
    // nearest printer pixel.
    const int h = MulDiv(PRINT_FONT_POINTS, dc.LogPixelsY(), 72);
    dc.SelectFont(h);
    const double advance = PRINT_LINE_FACTOR * h;
    // The columns between the left and the right margin; on a surface that cannot tell the
    // width of its font the lines are drawn whole.
    const double columnWidth = dc.ColumnWidth();
    const bool measured = columnWidth > 0;
    const int columns =
        measured ? int(std::clamp((dc.HorzRes() - 2 * mx) / columnWidth, 0.0, 100000.0)) : 0;
    const int wrapColumns = measured ? columns : std::numeric_limits<int>::max();

    // Laid out first, since every page says how many there are. y keeps its fraction from
    // line to line; only the drawing position and the comparison with the bottom are
    // truncated to whole pixels, so the pitch does not drift short. A page ends after the line
    // that passes the bottom, not before it: a row whose top is still on the page is drawn even
    // when it reaches into the bottom margin. A row of several lines starts a new page when
    // its last line would begin below the bottom, unless it is the first on its page.
    QVector<QStringList> pages;
    double y = my;
    bool newPage = true;
    for (const ListRowText& row : rows) {
        const QStringList lines = RowLines(row, wrapColumns);
        if (lines.isEmpty())
            continue;
        if (!newPage && static_cast<int>(y + (lines.size() - 1) * advance) > bottom) {
            y = my;
            newPage = true;
        }
        for (const QString& line : lines) {
            if (newPage) {
                pages.append(QStringList());
                y += advance; // the title
                newPage = false;
            }
            pages.last() << line;
            y += advance;
            if (static_cast<int>(y) > bottom) {
                y = my;
                newPage = true;
            }
        }
    }

    // Lines go out without their line end, which a painter would draw as a missing glyph.
    const int x = static_cast<int>(mx);
    const int headingY = std::max(0, static_cast<int>(my - advance));
    for (int p = 0; p < pages.size(); ++p) {
        dc.StartPage();
        dc.TextOut(x, headingY, PageHeading(listName, date, p + 1, int(pages.size()), columns));
        y = my;
        dc.TextOut(x, static_cast<int>(y), QString::fromLatin1(PRINT_HEADER));
        y += advance;
        for (const QString& line : pages.at(p)) {
            dc.TextOut(x, static_cast<int>(y), line);
            y += advance;
        }
        dc.EndPage();
    }
}
