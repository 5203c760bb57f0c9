#include "print/print_pages.h"
#include "recording_surface.h"
#include "sample_rows.h"

#include <QtTest>

namespace {
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

// The trace with the title shown as T and each row as its No. field.
QString Compact(const RecordingSurface& dc) {
    QStringList out;
    for (const QString& step : dc.trace) {
        const int colon = step.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            out << step;
            continue;
        }
        const QString text = step.mid(colon + 1);
        out << step.left(colon + 1) +
                   (text == QLatin1String(PRINT_HEADER) ? QStringLiteral("T") : text.left(4));
    }
    return out.join(QLatin1Char(' '));
}
} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void fullList_data();
    void fullList();
    void emptyRows_data();
    void emptyRows();
    void lineText_data();
    void lineText();
    void fontHeight_data();
    void fontHeight();
};

void TestPrintPages::pages_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("vertRes");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QString>("expected");

    QTest::newRow("300 dpi page ends after row 7, row 8 under a new title")
        << 300 << 177 << 800 << 8
        << "[ 177:T 234:0001 292:0002 349:0003 407:0004 464:0005 522:0006 579:0007 ] "
           "[ 177:T 234:0008 ]";
    QTest::newRow("a page filled by the last row is not followed by an empty one")
        << 300 << 177 << 800 << 7
        << "[ 177:T 234:0001 292:0002 349:0003 407:0004 464:0005 522:0006 579:0007 ]";
    QTest::newRow("96 dpi advance of 18.75 keeps its fraction")
        << 96 << 57 << 1000 << 4 << "[ 57:T 75:0001 94:0002 113:0003 132:0004 ]";
    QTest::newRow("row below the bottom margin is still drawn, one row a page")
        << 300 << 177 << 400 << 3 << "[ 177:T 234:0001 ] [ 177:T 234:0002 ] [ 177:T 234:0003 ]";
    QTest::newRow("list without rows draws no page") << 300 << 177 << 800 << 0 << "";
}

void TestPrintPages::pages() {
    QFETCH(int, dpi);
    QFETCH(int, margin);
    QFETCH(int, vertRes);
    QFETCH(int, rowCount);
    QFETCH(QString, expected);

    RecordingSurface dc(dpi, vertRes, margin);
    PrintPages(dc, FullRows(rowCount));
    QCOMPARE(Compact(dc), expected);
    for (int x : dc.xs) {
        QCOMPARE(x, margin);
    }
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
    PrintPages(dc, FullRows(rowCount));
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
    PrintPages(dc, rows);
    QCOMPARE(Compact(dc), expected);
}

void TestPrintPages::lineText_data() {
    QTest::addColumn<QString>("spNo");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QString>("expected");

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
}

void TestPrintPages::lineText() {
    QFETCH(QString, spNo);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, duration);
    QFETCH(QString, remark);
    QFETCH(QString, expected);

    RecordingSurface dc(300, 3000, 177);
    PrintPages(dc, {{QStringLiteral("0007"), spNo, in, out, duration, remark}});
    QCOMPARE(dc.texts, QStringList({QLatin1String(PRINT_HEADER), expected}));
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
    PrintPages(dc, FullRows(1));
    QCOMPARE(dc.fontHeight, height);
}

QTEST_GUILESS_MAIN(TestPrintPages)
#include "test_print_pages.moc"
