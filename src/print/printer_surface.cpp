#include "print/printer_surface.h"

#include "platform/ui_font.h"
#include "print/print_pages.h"

#include <QFontMetrics>
#include <QPrinter>

PrinterSurface::PrinterSurface(QPrinter* printer) : m_printer(printer) {
    // The page's origin is the corner of the printable area, as on the old printer device:
    // the printer's margins are its unprintable edge and nothing more. Left alone they carry
    // a default of Qt's own (10 pt), which would add 3.5 mm to the layout's margins even on a
    // PDF page, which has no edge at all.
    const QPageLayout layout = printer->pageLayout();
    printer->setPageMargins(layout.minimumMargins(), layout.units());
}

PrinterSurface::~PrinterSurface() {
    EndDoc();
}

int PrinterSurface::LogPixelsY() const {
    return m_printer->logicalDpiY();
}

// Without full-page mode the printer's device is the printable area of the page (the
// margins being the unprintable edge, see the constructor).
int PrinterSurface::VertRes() const {
    return m_printer->height();
}

int PrinterSurface::HorzRes() const {
    return m_printer->width();
}

QPoint PrinterSurface::LoMetricToPixels(int tenthsMm) const {
    return QPoint(qRound(tenthsMm * m_printer->logicalDpiX() / 254.0),
                  qRound(tenthsMm * m_printer->logicalDpiY() / 254.0));
}

void PrinterSurface::SelectFont(int pixelHeight) {
    // The pixel size is the em of the face. The first face of the list has a cell of exactly
    // one em; the CJK monospace fallback draws half-width glyphs at exactly half the advance
    // of full-width ones, so the columns line up with either.
    m_font = JapaneseFixedFont(PRINT_FONT_POINTS);
    m_font.setPixelSize(pixelHeight);
    if (m_painter.isActive()) {
        m_painter.setFont(m_font);
        m_ascent = m_painter.fontMetrics().ascent();
    }
}

// Measured on the printer before its document is begun: the layout needs it for the first
// page. Every glyph of the font is a whole number of these wide.
double PrinterSurface::ColumnWidth() const {
    return QFontMetricsF(m_font, m_printer).horizontalAdvance(QLatin1Char('0'));
}

void PrinterSurface::StartPage() {
    if (m_failed) {
        return;
    }
    if (m_started) {
        m_printer->newPage();
        return;
    }
    m_started = true;
    if (!m_painter.begin(m_printer)) {
        m_failed = true;
        return;
    }
    m_painter.setFont(m_font);
    m_ascent = m_painter.fontMetrics().ascent();
}

// A printer page ends when the next one is begun or the document ends.
void PrinterSurface::EndPage() {}

void PrinterSurface::TextOut(int x, int y, const QString& text) {
    if (!m_painter.isActive()) {
        return;
    }
    // The painter places text on its baseline; the position given is the top of the cell.
    m_painter.drawText(QPoint(x, y + m_ascent), text);
}

bool PrinterSurface::EndDoc() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
    return !m_failed;
}
