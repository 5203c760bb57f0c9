#pragma once

#include "persist/list_line.h"
#include "platform/file_fault.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The list file: one line per row that holds anything, CR LF line ends, code page 932.

// A list counted at 24 or 25 frames says so in its first line, "#FrameRate=25", so that it is
// never read at another rate; a 30-frame list has no such line, byte for byte as always. A
// reader that knows no rates takes the line for no row (it starts with no number) and reads
// the rows as ever.
QByteArray FrameRateLine(int fps);

// The whole file for the grid's data rows (rows[0] is row 1) at the list's frame rate.
// rowsNotStored (optional) receives the numbers of the rows with characters the file cannot
// hold.
QByteArray BuildListFile(const QVector<ListRowText>& rows, QVector<int>* rowsNotStored,
                         int fps = 30);

// How the file's bytes are read. Files are code page 932; one that starts with the UTF-8
// byte-order mark (a text editor's "UTF-8") is read as UTF-8, mark left out.
enum class ListEncoding { Cp932, Utf8 };

// What one line of a list file says.
struct ListLineFields {
    QString spNo, in, out; // empty for the placeholders (any text starting with '-')
    QString remark;        // as a REMARK cell: one space, then the rest of the line
};

// Splits a line (its line end may be included) at white space into No. (which only the
// reader of the whole file looks at), SP No. and the IN/OUT/DUR token; IN and OUT are taken at
// their fixed places in that token. The remark is everything after the one space that follows that
// token, up to the line end.
ListLineFields ParseListLine(const QByteArray& line, ListEncoding encoding = ListEncoding::Cp932);

// A line of the file that gave no row, and why.
struct SkippedLine {
    enum class Why {
        OutOfRange,     // numbered outside 1 to MAX_LIST_ROWS
        NumberRepeated, // a later line carries the same number and was read instead
        NotARow,        // holds something, but does not start with a number
    };
    int line = 0; // counted from 1; CR LF, LF and a lone CR each end a line
    Why why = Why::NotARow;
    qint64 number = 0; // the line's number (OutOfRange, NumberRepeated)
    int readLine = 0;  // NumberRepeated: the later line that was read
};

// The grid after reading a file.
struct ListFileContents {
    int dataRows = 0;        // the grid's data rows: never fewer than before
    bool outOfRange = false; // some line is numbered outside 1 to MAX_LIST_ROWS
    ListEncoding encoding = ListEncoding::Cp932;
    int fps = 30;                 // the rate the file says it counts at, 30 when it says none
    bool rateMarked = false;      // the file said its rate
    QVector<ListRowText> rows;    // rows[0] is row 1; every row not in the file is empty
    QVector<SkippedLine> skipped; // every line that holds something and gave no row, in order
};

// Reads a file's bytes into a grid of currentDataRows data rows. CR LF, LF and a lone CR
// all end a line. The grid grows to the largest row number in the file, at most
// MAX_LIST_ROWS; every line numbered 1 to the grid's size is placed in the row its number
// names (a later line with the same number wins); DURATION and No. are left empty for the
// caller to recompute and renumber. Lines are read whole, however long. Blank lines are
// nothing; every other line that gives no row is listed in skipped.
ListFileContents ReadListFile(const QByteArray& bytes, int currentDataRows);

// The largest list file read. A list of 40 rows takes some 20 KB; remarks read whole from a
// hand-edited file are what could make one larger.
constexpr qint64 MAX_LIST_FILE_BYTES = 4 * 1024 * 1024;

// Reads a list file whole. FileFault::TooLarge for a file larger than MAX_LIST_FILE_BYTES;
// another fault when it cannot be opened or read or is no plain file (a FIFO or a device is
// never opened, so never waited on). A link is followed.
FileFault ReadListFileBytes(const QString& path, QByteArray* bytes);

// Writing goes through ReplaceFileContent (platform/replace_file.h).
