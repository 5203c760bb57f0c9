#pragma once

#include "persist/list_line.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The list file: one line per row that holds anything, CR LF line ends, code page 932.

// The whole file for the grid's data rows (rows[0] is row 1). rowsNotStored (optional)
// receives the numbers of the rows with characters the file cannot hold.
QByteArray BuildListFile(const QVector<ListRowText>& rows, QVector<int>* rowsNotStored);

// What one line of a list file says.
struct ListLineFields {
    QString spNo, in, out; // empty for the placeholders (any text starting with '-')
    QString remark;        // as a REMARK cell: one space, then the rest of the line
};

// Splits a line (its line end may be included) at white space into No. (which only the
// reader of the whole file looks at), SP No. and the IN/OUT/DUR token; IN and OUT are taken at
// their fixed places in that token. The remark is everything after the one space that follows that
// token, up to the line end.
ListLineFields ParseListLine(const QByteArray& line);

// The grid after reading a file.
struct ListFileContents {
    int dataRows = 0;          // the grid's data rows: never fewer than before
    bool outOfRange = false;   // some line is numbered outside 1 to MAX_LIST_ROWS
    QVector<ListRowText> rows; // rows[0] is row 1; every row not in the file is empty
};

// Reads a file's bytes into a grid of currentDataRows data rows. The grid grows to the
// largest row number in the file, at most MAX_LIST_ROWS; every line numbered 1 to the
// grid's size is placed in the row its number names (a later line with the same number
// wins); DURATION and No. are left empty for the caller to recompute and renumber.
ListFileContents ReadListFile(const QByteArray& bytes, int currentDataRows);

// Reads a list file whole. False when it cannot be opened or read, or is far larger than
// any list file (a list of 40 rows takes some 20 KB).
bool ReadListFileBytes(const QString& path, QByteArray* bytes);

// Writing goes through ReplaceFileContent (platform/replace_file.h).
