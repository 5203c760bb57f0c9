#pragma once

#include "formats/list_import.h"
#include "timecode/timecode_value.h"

#include <QStringList>

// What the readers of list_import.cpp share: a spot as read from a file, before it is checked
// at the rate and placed in a row.

struct ImportEntry {
    QString where;        // "12行目"
    int row = 0;          // the row its No. names (tables only), 0 for the next free row
    QString spNo, remark; // the remark as shown, without a cell's leading space
    QString in, out;      // label texts, empty for none
};

struct ImportRead {
    QVector<ImportEntry> entries;
    QVector<ImportSkip> leftOut; // what the reader could not read at all
    bool read = true;            // false: the file is not of the format at all
};

// "N行目" and "N番目のマーカー".
QString LineWhere(qsizetype line);
QString MarkerWhere(qsizetype marker);

// Text of a text file: by its byte-order mark (UTF-8, UTF-16), else UTF-8 when it is valid,
// else code page 932.
QString DecodeText(const QByteArray& bytes);

// Lines of a text, split at CR LF, LF or a lone CR.
QStringList TextLines(const QString& text);

// A label "HH:MM:SS:FF" (':' ';' '.' or ',' between the fields; one or two digits of hours).
// *readable tells whether the text had that form at all.
Timecode ReadLabel(const QString& text, TimecodeRate rate, bool* readable);

// The label text of a frame of the day counted at the rate.
QString FrameLabel(long long frame, TimecodeRate rate);

// A table (CSV or a sheet) into entries: a header row naming the export's columns decides
// which column is which (else the export's order without a header); rowWhere names each row.
ImportRead ReadTable(const QVector<QStringList>& cells, const QStringList& rowWhere);

// The readers.
ImportRead ReadCsv(const QByteArray& bytes);
ImportRead ReadEdl(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadAle(const QByteArray& bytes);
ImportRead ReadXlsx(const QByteArray& bytes);
ImportRead ReadFcpxml(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadXmeml(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadOtio(const QByteArray& bytes, TimecodeRate rate);
