#pragma once

#include "formats/import_budget.h"
#include "formats/list_import.h"
#include "timecode/timecode_value.h"

#include <QStringList>
#include <QXmlStreamReader>

// What the readers of list_import.cpp share: a spot as read from a file, before it is checked
// at the rate and placed in a row. Every reader goes through its file once, and counts what it
// keeps against the file's budget.

struct ImportEntry {
    QString where;        // "12行目"
    int row = 0;          // the row its No. names (tables only), 0 for the next free row
    QString spNo, remark; // the remark as shown, without a cell's leading space
    QString in, out;      // label texts (see LabelText), empty for none
};

struct ImportRead {
    QVector<ImportEntry> entries;
    QVector<ImportSkip> leftOut; // what the reader could not read at all
    bool read = true;            // false: the file is not of the format at all
    ImportBudget budget;

    // Kept when the budget allows; false once it is passed, and the reader stops.
    bool Add(const ImportEntry& entry);
    bool LeaveOut(const ImportSkip& skip);
};

// "N行目" and "N番目のマーカー".
QString LineWhere(qsizetype line);
QString MarkerWhere(qsizetype marker);

// Text of a text file: by its byte-order mark (UTF-8, UTF-16), else UTF-8 when it is valid,
// else code page 932.
QString DecodeText(const QByteArray& bytes);

// Lines of a short text (a file's head), split at CR LF, LF or a lone CR.
QStringList TextLines(const QString& text);

// The lines of a text one by one, split at CR LF, LF or a lone CR, without copying them; a
// line break at the very end ends no empty line. The text must outlive the reader.
class LineReader {
public:
    explicit LineReader(QStringView text) : m_text(text) {}
    bool Next(QStringView* line);
    // The number of the line Next gave last, from 1.
    qsizetype Number() const { return m_number; }

private:
    QStringView m_text;
    qsizetype m_at = 0;
    qsizetype m_number = 0;
};

// A label "HH:MM:SS:FF" (':' ';' '.' or ',' between the fields; one or two digits of hours),
// blanks around it allowed. *readable tells whether the text had that form at all.
Timecode ReadLabel(QStringView text, TimecodeRate rate, bool* readable);

// A field that should hold a label, as an entry keeps it: without blanks around it, and no
// longer than the box would quote it; anything longer is no label, whatever it holds.
QString LabelText(QStringView field);

// The label text of a frame of the day counted at the rate.
QString FrameLabel(long long frame, TimecodeRate rate);

// A table (CSV or a sheet) into entries, row by row as the file gives them: a first row
// naming the export's columns decides which column is which (else the export's order
// without a header).
class TableReader {
public:
    explicit TableReader(ImportRead* read) : m_read(read) {}
    // line: the row's line in the file (or its number in the sheet). False once the budget
    // is passed.
    bool Row(const QStringList& cells, qsizetype line);

private:
    ImportRead* m_read;
    int m_column[5] = {0, 1, 2, 3, 5};
    bool m_first = true;
};

// Whether an XML part may be parsed: false when its document type declares anything (an
// internal subset, "[...]"), and the budget then refuses the file. Looked at before parsing,
// since the parser expands declarations as it reads them.
bool AcceptXml(const QByteArray& bytes, ImportBudget* budget);

// The next token of an XML part; a DTD that declares anything ends the reading all the same.
QXmlStreamReader::TokenType NextXmlToken(QXmlStreamReader& xml, ImportBudget* budget);

// The readers.
ImportRead ReadCsv(const QByteArray& bytes);
ImportRead ReadEdl(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadAle(const QByteArray& bytes);
ImportRead ReadXlsx(const QByteArray& bytes);
ImportRead ReadFcpxml(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadXmeml(const QByteArray& bytes, TimecodeRate rate);
ImportRead ReadOtio(const QByteArray& bytes, TimecodeRate rate);
