#pragma once

#include "formats/list_export.h"
#include "formats/list_import.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The converter's own texts: Japanese in the sources, like the window's, and English from the
// same translation.
class Converter {
    Q_DECLARE_TR_FUNCTIONS(Converter)
};

// One list file through the converter: read as File > Open reads it and exported. The caller
// writes the bytes (many files at once, see platform/replace_files_batch.h).
struct ConversionResult {
    bool written = false; // the bytes are ready (and, once the caller wrote them, written)
    QString error;        // why nothing was written, when it was not
    QStringList notes;    // what the reader or the export left out or changed
    QByteArray bytes;     // the export
};

// rate: what the command line asked for (rateGiven: --rate was given). A list file that says
// its own rate is read at it, and a --rate that says another is an error for that file.
ConversionResult ConvertListFile(const QString& input, const InterchangeFormat& format,
                                 TimecodeRate rate, bool rateGiven);

// One file of a format the converter writes (CSV, a workbook, an EDL, a log, markers), read
// back as the window's 読み込み... reads it at the rate, and made a list file. The format
// is told by the file's content, or by its extension when the content shows no more than
// a table of text.
ConversionResult ConvertToListFile(const QString& input, TimecodeRate rate);

// The format a file is read as.
ImportFormat ListFormatOfFile(const QString& path, const QByteArray& bytes);

// What the reader left out or kept as text, in the converter's words: one note each.
QStringList ImportNotes(const QVector<ImportSkip>& leftOut);
