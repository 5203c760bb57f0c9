#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Reads a PDF back with poppler's command-line tools.
struct PdfWord {
    int page; // from 1
    double xMin;
    double yMin;
    double xMax;
    QString text;
};

bool PdfToolsInstalled();
int PdfPageCount(const QString& path);         // -1 when pdfinfo cannot read it
QSizeF PdfPageSize(const QString& path);       // of the first page, in points
QStringList PdfTextPages(const QString& path); // pdftotext -layout, one entry per page
QList<PdfWord> PdfWords(const QString& path);
// The non-blank lines of a page with runs of white space made single spaces: the layout
// mode's spacing approximates columns and is not worth comparing.
QStringList SimplifiedLines(const QString& page); // pdftotext -bbox-layout
