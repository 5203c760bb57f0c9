#pragma once

#include "print/print_surface.h"

#include <QStringList>

// A printer of any resolution, width (A4's at 300 dpi unless told) and margin that records what
// would be drawn: "[" and "]" for the start and end of a page, "y:text" for each text call (the x
// of every call goes to xs). Its half-width characters are half as wide as the font is high.
class RecordingSurface : public PrintSurface {
public:
    RecordingSurface(int dpi, int vertRes, int marginPixels, int horzRes = 2480)
        : m_dpi(dpi), m_vertRes(vertRes), m_horzRes(horzRes), m_margin(marginPixels) {}

    int LogPixelsY() const override { return m_dpi; }
    int VertRes() const override { return m_vertRes; }
    int HorzRes() const override { return m_horzRes; }
    QPoint LoMetricToPixels(int tenthsMm) const override {
        return tenthsMm == 150 ? QPoint(m_margin, m_margin) : QPoint(-1, -1);
    }
    void SelectFont(int pixelHeight) override { fontHeight = pixelHeight; }
    double ColumnWidth() const override { return fontHeight / 2.0; }
    void StartPage() override { trace << QStringLiteral("["); }
    void EndPage() override { trace << QStringLiteral("]"); }
    void TextOut(int x, int y, const QString& text) override {
        xs << x;
        trace << QStringLiteral("%1:%2").arg(y).arg(text);
        texts << text;
    }

    int fontHeight = 0;
    QStringList trace;
    QStringList texts;
    QList<int> xs;

private:
    int m_dpi;
    int m_vertRes;
    int m_horzRes;
    int m_margin;
};
