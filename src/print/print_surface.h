#pragma once

#include <QPoint>
#include <QString>

// What the page layout needs of a printer. Coordinates are device pixels from the top-left
// corner of the printable area, y growing downwards; a text position is the top-left corner
// of the first character cell, as with the old printer text call.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual int LogPixelsY() const = 0; // pixels per inch vertically
    virtual int VertRes() const = 0;    // printable height in pixels
    virtual int HorzRes() const = 0;    // printable width in pixels
    // A length in tenths of a millimetre, as pixels along x and along y, rounded to nearest.
    virtual QPoint LoMetricToPixels(int tenthsMm) const = 0;

    // Selects a fixed-pitch Japanese font whose character cell is pixelHeight tall, with
    // full-width characters two half-width columns wide.
    virtual void SelectFont(int pixelHeight) = 0;
    // The advance of a half-width character in the selected font, in pixels; 0 when unknown.
    virtual double ColumnWidth() const = 0;

    virtual void StartPage() = 0;
    virtual void EndPage() = 0;
    virtual void TextOut(int x, int y, const QString& text) = 0;
};
