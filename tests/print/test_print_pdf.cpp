#include "pdf_reader.h"
#include "print/print_pages.h"
#include "print/printer_surface.h"
#include "sample_rows.h"

#include <QDate>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The page as Qt sets it up, margins included; edgeMm gives the paper an unprintable edge, as
// a real printer's has.
bool PrintToPdf(const QString& path, const QVector<ListRowText>& rows, QPageSize::PageSizeId size,
                double edgeMm = 0) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (edgeMm > 0) {
        const QMarginsF edge(edgeMm, edgeMm, edgeMm, edgeMm);
        printer.setPageLayout(QPageLayout(QPageSize(size), QPageLayout::Portrait, edge,
                                          QPageLayout::Millimeter, edge));
    } else {
        printer.setPageSize(QPageSize(size));
    }
    PrinterSurface dc(&printer);
    PrintPages(dc, rows, QStringLiteral("spots.txt"), QDate(2024, 5, 1));
    return dc.EndDoc();
}

const PdfWord* Find(const QList<PdfWord>& words, const QString& text) {
    for (const PdfWord& w : words) {
        if (w.text == text) {
            return &w;
        }
    }
    return nullptr;
}
} // namespace

class TestPrintPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void onePageReadsBack();
    void columnsLineUp();
    void pageBreaksRepeatTheTitle();
    void emptyListWritesNoDocument();
    void marginsCountFromThePrintableArea_data();
    void marginsCountFromThePrintableArea();

private:
    QTemporaryDir m_dir;
};

void TestPrintPdf::initTestCase() {
    QVERIFY(m_dir.isValid());
    if (!PdfToolsInstalled()) {
        QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the PDF back");
    }
}

void TestPrintPdf::onePageReadsBack() {
    const QString path = m_dir.filePath(QStringLiteral("one.pdf"));
    ListRowText second = FullRow(2, QStringLiteral(" 注記"));
    second.spNo.clear();
    second.out.clear();
    const ListRowText third =
        FullRow(3, " The quick brown fox jumps over the lazy dog and then runs far away.");
    QVERIFY(PrintToPdf(path, {FullRow(1, QStringLiteral(" ＣＭ１本編")), second, third},
                       QPageSize::A4));

    QCOMPARE(PdfPageCount(path), 1);
    const QStringList pages = PdfTextPages(path);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(SimplifiedLines(pages.at(0)),
             QStringList({QStringLiteral("spots.txt 2024/05/01 1 / 1 ページ"),
                          QStringLiteral("No SPNo IN OUT DUR REMARK"),
                          QStringLiteral("0001 0001 00:59:50:00/01:00:20:00/30:00 ＣＭ１本編"),
                          QStringLiteral("0002 00:59:50:00/ /30:00 注記"),
                          QStringLiteral("0003 0003 00:59:50:00/01:00:20:00/30:00 The quick brown "
                                         "fox jumps over the lazy dog and"),
                          QStringLiteral("then runs far away.")}));
}

// Words of the title and of the rows must start in the same character columns, with
// full-width characters two columns wide and half-width katakana one.
void TestPrintPdf::columnsLineUp() {
    const QString path = m_dir.filePath(QStringLiteral("columns.pdf"));
    ListRowText second = FullRow(2, QStringLiteral(" ｶﾅ 注記 A"));
    second.spNo.clear();
    QVERIFY(PrintToPdf(path, {FullRow(1, QStringLiteral(" ＣＭ１本編")), second}, QPageSize::A4));

    const QList<PdfWord> words = PdfWords(path);
    const PdfWord* no = Find(words, QStringLiteral("No"));
    const PdfWord* remark = Find(words, QStringLiteral("REMARK"));
    QVERIFY(no && remark);
    // 15 mm at 1200 dpi is 709 pixels, 42.54 points.
    QVERIFY2(qAbs(no->xMin - 42.54) < 1.0, qPrintable(QString::number(no->xMin)));
    const double column = (remark->xMin - no->xMin) / 41;

    const struct {
        const char* word;
        int column;
    } expected[] = {
        {"SPNo", 5}, {"IN", 11},
        {"OUT", 23}, {"DUR", 35},
        {"0001", 0}, {"ＣＭ１本編", 41},
        {"ｶﾅ", 41},  {"注記", 44},
        {"A", 49},   {"00:59:50:00/01:00:20:00/30:00", 11},
    };
    for (const auto& e : expected) {
        const PdfWord* w = Find(words, QString::fromUtf8(e.word));
        QVERIFY2(w, e.word);
        QVERIFY2(
            qAbs(w->xMin - (no->xMin + e.column * column)) < 0.3,
            qPrintable(QStringLiteral("%1 at %2").arg(QString::fromUtf8(e.word)).arg(w->xMin)));
    }
}

// A6 without margins at 1200 dpi: 6992 pixels high, bottom 6283, advance 228.75. After the
// title and 24 rows the position is 6427, so 24 rows fill the first page.
void TestPrintPdf::pageBreaksRepeatTheTitle() {
    const QString path = m_dir.filePath(QStringLiteral("pages.pdf"));
    QVector<ListRowText> rows;
    for (int i = 1; i <= 40; ++i) {
        rows.append(FullRow(i, QStringLiteral(" 本編%1").arg(i)));
    }
    QVERIFY(PrintToPdf(path, rows, QPageSize::A6));

    QCOMPARE(PdfPageCount(path), 2);
    const QStringList pages = PdfTextPages(path);
    QCOMPARE(pages.size(), 2);
    const QStringList first = SimplifiedLines(pages.at(0));
    const QStringList second = SimplifiedLines(pages.at(1));
    QCOMPARE(first.size(), 26);
    QCOMPARE(second.size(), 18);
    QCOMPARE(first.at(1), QStringLiteral("No SPNo IN OUT DUR REMARK"));
    QCOMPARE(second.at(1), QStringLiteral("No SPNo IN OUT DUR REMARK"));
    QCOMPARE(first.first() + second.first(), "spots.txt 2024/05/01 1 / 2 ページ"
                                             "spots.txt 2024/05/01 2 / 2 ページ");
    QVERIFY(first.last().startsWith(QStringLiteral("0024 ")));
    QVERIFY(second.at(2).startsWith(QStringLiteral("0025 ")));
    QCOMPARE(second.last(), QStringLiteral("0040 0040 00:59:50:00/01:00:20:00/30:00 本編40"));
}

// A job without pages: nothing is begun, so no file appears.
void TestPrintPdf::emptyListWritesNoDocument() {
    const QString path = m_dir.filePath(QStringLiteral("empty.pdf"));
    QVERIFY(PrintToPdf(path, {{QStringLiteral("0001"), {}, {}, {}, {}, QStringLiteral(" ")}},
                       QPageSize::A4));
    QVERIFY(!QFile::exists(path));
}

// The title's first character cell starts 15 mm from the corner of the printable area: on a
// PDF page, which has no unprintable edge, 15 mm from the paper's edge. The longest remark
// ends as far from the right edge, its last character on the page.
void TestPrintPdf::marginsCountFromThePrintableArea_data() {
    QTest::addColumn<double>("edgeMm");
    QTest::newRow("PDF page") << 0.0;
    QTest::newRow("printer with a 5 mm edge") << 5.0;
}

void TestPrintPdf::marginsCountFromThePrintableArea() {
    QFETCH(double, edgeMm);
    const QString path = m_dir.filePath(QStringLiteral("margins.pdf"));
    const QString remark = QStringLiteral("本編の冒頭、港の夜明け。").repeated(22).left(254) + "終";
    QVERIFY(PrintToPdf(path, {FullRow(1, " " + remark)}, QPageSize::A4, edgeMm));
    const QList<PdfWord> words = PdfWords(path);
    const double right = PdfPageSize(path).width() - (edgeMm + 15) * 72 / 25.4;
    for (const PdfWord& w : words)
        QVERIFY2(w.xMax < right + 0.5, qPrintable(w.text));
    QVERIFY(words.last().text.endsWith(QStringLiteral("終")));
    const PdfWord* no = Find(words, QStringLiteral("No"));
    QVERIFY(no);
    const double points = (edgeMm + 15) * 72 / 25.4;
    QVERIFY2(qAbs(no->xMin - points) < 1.0 && qAbs(no->yMin - points) < 1.0,
             qPrintable(QStringLiteral("%1, %2").arg(no->xMin).arg(no->yMin)));
}

QTEST_MAIN(TestPrintPdf)
#include "test_print_pdf.moc"
