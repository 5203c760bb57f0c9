#pragma once

#include "persist/list_file.h"

#include <QString>
#include <QStringList>

// What the operator is told after a list file is read: every line that gave no row, named
// by its place in the file, and a file read as UTF-8. The window shows it in one box after
// loading, the converter in the notes of its line.

// The box's text; empty when there is nothing to say. It starts with the range message when
// some line is numbered outside 0001 to MAX_LIST_ROWS.
QString ListReadNotice(const ListFileContents& contents);

// The converter's notes, one per kind.
QStringList ListReadNotes(const ListFileContents& contents);

// The window's message for a file over MAX_LIST_FILE_BYTES, and the converter's.
QString ListTooLargeMessage();
QString ListTooLargeNote();

// The box for a name under which no plain file stands (a FIFO, a device, a folder), which is
// never opened for reading.
QString NotPlainFileMessage();

// Line numbers, ascending, as ranges of consecutive ones ("2, 7-9"): at most maxRanges, then
// how many lines are left out ("and 120 more"), in the words given.
QString LineRanges(QVector<int> lines, const QString& dash, int maxRanges, const QString& more);
