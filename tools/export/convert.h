#pragma once

#include "persist/list_export.h"

#include <QString>
#include <QStringList>

// One list file through the converter: read as File > Open reads it, exported, written.
struct ConversionResult {
    bool written = false;
    QString error;     // why nothing was written, when it was not
    QStringList notes; // what the reader or the export left out or changed
};

ConversionResult ConvertListFile(const QString& input, const QString& output, ExportFormat format,
                                 TimecodeRate rate);
