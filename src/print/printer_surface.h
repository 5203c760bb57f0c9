#pragma once

#include "print/print_surface.h"

#include <QFont>
#include <QPainter>

class QPrinter;

// The page layout's surface on a real printer (or a PDF file); it sets the printer's margins
// to the printable area, from whose corner the layout measures. The document is begun with
// the first page rather than up front, because beginning a painter on a printer already
// opens a page: a list without printable rows must give a job without pages.
class PrinterSurface : public PrintSurface {
public:
    explicit PrinterSurface(QPrinter* printer);
    ~PrinterSurface() override;

    int LogPixelsY() const override;
    int VertRes() const override;
    int HorzRes() const override;
    QPoint LoMetricToPixels(int tenthsMm) const override;
    void SelectFont(int pixelHeight) override;
    double ColumnWidth() const override;
    void StartPage() override;
    void EndPage() override;
    void TextOut(int x, int y, const QString& text) override;

    // Ends the document. False when it could not be begun: nothing was printed.
    bool EndDoc();

private:
    QPrinter* m_printer;
    QPainter m_painter;
    QFont m_font;
    int m_ascent = 0;
    bool m_started = false; // the document has been begun (or tried)
    bool m_failed = false;
};
