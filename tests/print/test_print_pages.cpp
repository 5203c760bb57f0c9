#include "print/print_document_name.h"
#include "print/print_pages.h"
#include "recording_surface.h"
#include "sample_rows.h"

#include <QtTest>

namespace {
void Print(RecordingSurface& dc, const QVector<ListRowText>& rows) {
    PrintPages(dc, rows, QStringLiteral("spots.txt"), QDate(2024, 5, 1));
}

// A row with nothing to print: numbered, and a remark of just its leading space.
ListRowText EmptyRow(int n) {
    return {
        QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')), {}, {}, {}, {}, QStringLiteral(" ")};
}

QVector<ListRowText> FullRows(int count) {
    QVector<ListRowText> rows;
    for (int i = 1; i <= count; ++i) {
        rows.append(FullRow(i, QStringLiteral(" spot %1").arg(i)));
    }
    return rows;
}

// Rows by the lines each takes on A4 at 300 dpi (51 columns for the remark).
QVector<ListRowText> RowsOfLines(const QString& counts) {
    QVector<ListRowText> rows = FullRows(int(counts.size()));
    for (int i = 0; i < counts.size(); ++i) {
        if (counts.at(i) != QLatin1Char('1')) // the cell's first character is not printed
            rows[i].remark = QString(51 * (counts.at(i).digitValue() - 1) + 6, QLatin1Char('x'));
    }
    return rows;
}

// The trace without the headings (see heading), with the title shown as T, each row as its No.
// field and each further line of a remark as +.
QString Compact(const RecordingSurface& dc) {
    QStringList out;
    for (const QString& step : dc.trace) {
        const int colon = step.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            out << step;
            continue;
        }
        const QString text = step.mid(colon + 1);
        if (text.endsWith(QStringLiteral("ページ")))
            continue;
        out << step.left(colon + 1) + (text == QLatin1String(PRINT_HEADER) ? QStringLiteral("T")
                                       : text.startsWith(QLatin1Char(' ')) ? QStringLiteral("+")
                                                                           : text.left(4));
    }
    return out.join(QLatin1Char(' '));
}
} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void heading();
    void fullList_data();
    void fullList();
    void emptyRows_data();
    void emptyRows();
    void lineText_data();
    void lineText();
    void fontHeight_data();
    void fontHeight();
    void documentName();
};

void TestPrintPages::pages_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("vertRes");
    QTest::addColumn<QString>("lineCounts");
    QTest::addColumn<QString>("expected");

    QTest::newRow("300 dpi page ends after row 7, row 8 under a new title")
        << 300 << 177 << 800 << "11111111"
        << "[ 177:T 234:0001 292:0002 349:0003 407:0004 464:0005 522:0006 579:0007 ] "
           "[ 177:T 234:0008 ]";
    QTest::newRow("a page filled by the last row is not followed by an empty one")
        << 300 << 177 << 800 << "1111111"
        << "[ 177:T 234:0001 292:0002 349:0003 407:0004 464:0005 522:0006 579:0007 ]";
    QTest::newRow("96 dpi advance of 18.75 keeps its fraction")
        << 96 << 57 << 1000 << "1111"
        << "[ 57:T 75:0001 94:0002 113:0003 132:0004 ]";
    QTest::newRow("row below the bottom margin is still drawn, one row a page")
        << 300 << 177 << 400 << "111"
        << "[ 177:T 234:0001 ] [ 177:T 234:0002 ] [ 177:T 234:0003 ]";
    QTest::newRow("list without rows draws no page") << 300 << 177 << 800 << QString() << "";
    QTest::newRow("a wrapped row whose last line would start below goes to the next page")
        << 300 << 177 << 800 << "1111113"
        << "[ 177:T 234:0001 292:0002 349:0003 407:0004 464:0005 522:0006 ] "
           "[ 177:T 234:0007 292:+ 349:+ ]";
}

void TestPrintPages::pages() {
    QFETCH(int, dpi);
    QFETCH(int, margin);
    QFETCH(int, vertRes);
    QFETCH(QString, lineCounts);
    QFETCH(QString, expected);

    RecordingSurface dc(dpi, vertRes, margin);
    Print(dc, RowsOfLines(lineCounts));
    QCOMPARE(Compact(dc), expected);
    for (int x : dc.xs) {
        QCOMPARE(x, margin);
    }
}

// Above the title of every page: the list's name at the left margin, date and page at the right
// one (92 columns on A4 at 300 dpi, 40 on 1274 pixels), a name too long cut short.
void TestPrintPages::heading() {
    RecordingSurface a4(300, 800, 177), narrow(300, 3000, 177, 1274);
    Print(a4, FullRows(8));
    PrintPages(narrow, FullRows(1), QStringLiteral("a_very_long_list_name.txt"), QDate(2024, 5, 1));
    const QString name = "119:spots.txt" + QString(59, QLatin1Char(' ')) + "2024/05/01  ";
    QCOMPARE(a4.trace.filter(QStringLiteral("ページ")),
             QStringList({name + "1 / 2 ページ", name + "2 / 2 ページ"}));
    QCOMPARE(narrow.texts.value(0), QStringLiteral("a_very_long_…  2024/05/01  1 / 1 ページ"));
}

// 40 rows at 300 dpi: rows at 177 + k * 57.5; the position after row 40 is 2534.5, compared
// as 2534. A 41st row shows where that position falls against the bottom.
void TestPrintPages::fullList_data() {
    QTest::addColumn<int>("vertRes");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("lastStep");

    QTest::newRow("40 rows fit one page of 3000") << 3000 << 40 << 1 << "2477:0040";
    QTest::newRow("position 2534 is still on a page whose bottom is 2534")
        << 2534 + 177 << 41 << 1 << "2534:0041";
    QTest::newRow("position 2534 ends a page whose bottom is 2533")
        << 2533 + 177 << 41 << 2 << "234:0041";
}

void TestPrintPages::fullList() {
    QFETCH(int, vertRes);
    QFETCH(int, rowCount);
    QFETCH(int, pages);
    QFETCH(QString, lastStep);

    RecordingSurface dc(300, vertRes, 177);
    Print(dc, FullRows(rowCount));
    QCOMPARE(dc.trace.count(QStringLiteral("[")), pages);
    QCOMPARE(dc.trace.count(QStringLiteral("]")), pages);
    const QStringList steps = Compact(dc).split(QLatin1Char(' '));
    QCOMPARE(steps.at(steps.size() - 2), lastStep);
}

// Rows are given as a pattern: F a full row, E a row with nothing to print.
void TestPrintPages::emptyRows_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty row takes no line") << "FEEF"
                                             << "[ 177:T 234:0001 292:0004 ]";
    QTest::newRow("leading empty rows start no page") << "EEF"
                                                      << "[ 177:T 234:0003 ]";
    QTest::newRow("all 30 rows empty prints no page") << QString(30, QLatin1Char('E')) << "";
}

void TestPrintPages::emptyRows() {
    QFETCH(QString, pattern);
    QFETCH(QString, expected);

    QVector<ListRowText> rows;
    for (int i = 0; i < pattern.size(); ++i) {
        rows.append(pattern.at(i) == QLatin1Char('F') ? FullRow(i + 1, QStringLiteral(" spot"))
                                                      : EmptyRow(i + 1));
    }
    RecordingSurface dc(300, 3000, 177);
    Print(dc, rows);
    QCOMPARE(Compact(dc), expected);
}

void TestPrintPages::lineText_data() {
    QTest::addColumn<QString>("spNo");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QString>("expected"); // a remark's further lines after |, under REMARK

    const QString in = QStringLiteral("00:59:50:00");
    const QString out = QStringLiteral("01:00:20:00");
    const QString dur = QStringLiteral("00:00:30:00");
    QTest::newRow("full row lines up under the title")
        << "0001" << in << out << dur << " CM1"
        << "0007 0001  00:59:50:00/01:00:20:00/30:00 CM1";
    QTest::newRow("empty SP No. prints five spaces")
        << "" << in << out << dur << " CM1"
        << "0007       00:59:50:00/01:00:20:00/30:00 CM1";
    QTest::newRow("empty IN prints eleven spaces before the slash")
        << "0001"
        << "" << out << dur << " CM1"
        << "0007 0001             /01:00:20:00/30:00 CM1";
    QTest::newRow("DURATION 00:01:15:00 prints 15:00")
        << "0001" << in << out << "00:01:15:00"
        << " CM1"
        << "0007 0001  00:59:50:00/01:00:20:00/15:00 CM1";
    QTest::newRow("Japanese remark comes out as written")
        << "0001" << in << out << dur << QStringLiteral(" ＣＭ１　本編ｶﾅ")
        << QStringLiteral("0007 0001  00:59:50:00/01:00:20:00/30:00 ＣＭ１　本編ｶﾅ");
    // 51 columns for the remark on A4 at 300 dpi.
    QTest::newRow("long remark broken between words")
        << "0001" << in << out << dur
        << " The quick brown fox jumps over the lazy dog and then runs far away."
        << "0007 0001  00:59:50:00/01:00:20:00/30:00 The quick brown fox jumps over the lazy dog "
           "and|then runs far away.";
    QTest::newRow("Japanese broken between characters, never before a full stop")
        << "0001" << in << out << dur << " " + QStringLiteral("本編").repeated(12) + "終。続き"
        << "0007 0001  00:59:50:00/01:00:20:00/30:00 " + QStringLiteral("本編").repeated(12) +
               "|終。続き";
    QTest::newRow("a word wider than the line is cut, a short SP No. moves the column")
        << "12" << in << out << dur << " " + QString(60, QLatin1Char('a'))
        << "0007 12  00:59:50:00/01:00:20:00/30:00 " + QString(53, QLatin1Char('a')) + "|aaaaaaa";
}

void TestPrintPages::lineText() {
    QFETCH(QString, spNo);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, duration);
    QFETCH(QString, remark);
    QFETCH(QString, expected);

    RecordingSurface dc(300, 3000, 177);
    Print(dc, {{QStringLiteral("0007"), spNo, in, out, duration, remark}});
    QStringList lines = expected.split(QLatin1Char('|'));
    const qsizetype column = lines.first().indexOf(QLatin1String(":00 ")) + 4; // REMARK
    for (int i = 1; i < lines.size(); ++i)
        lines[i].prepend(QString(column, QLatin1Char(' ')));
    QCOMPARE(dc.texts.mid(1), QStringList({QLatin1String(PRINT_HEADER)}) + lines);
}

void TestPrintPages::fontHeight_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("height");

    QTest::newRow("300 dpi rounds 45.8 up to 46") << 300 << 46;
    QTest::newRow("96 dpi rounds 14.7 up to 15") << 96 << 15;
    QTest::newRow("1200 dpi rounds 183.3 down to 183") << 1200 << 183;
    QTest::newRow("72 dpi is exact") << 72 << 11;
}

void TestPrintPages::fontHeight() {
    QFETCH(int, dpi);
    QFETCH(int, height);

    RecordingSurface dc(dpi, 3000, 177);
    Print(dc, FullRows(1));
    QCOMPARE(dc.fontHeight, height);
}

void TestPrintPages::documentName() {
    QCOMPARE(PrintDocumentName(QStringLiteral("/x/reel.1.txt")), QStringLiteral("reel.1"));
    QCOMPARE(PrintDocumentName(QString()), QStringLiteral("印刷"));
}

QTEST_GUILESS_MAIN(TestPrintPages)
#include "test_print_pages.moc"
