#pragma once

#include "list/list_layout.h"

#include <QByteArray>
#include <QString>

// The list file and the printed list share one line layout ("%s %s %s/%s/%s %s"); they
// differ only in what stands for an empty cell.
enum class Placeholders { File, Print };

// True when the row holds anything worth a line of the list file: SP No., IN, OUT, DURATION
// or the remark after its first character. Exports write the same rows as the file.
bool ListRowHoldsAnything(const ListRowText& row);

// Builds the line of a row, without line end, as code page 932 bytes: all lengths and cuts
// of the layout count bytes of that encoding. Returns false when the row holds nothing
// worth a line (see ListRowHoldsAnything); line is then left empty.
bool FormatListLine(const ListRowText& row, Placeholders kind, QByteArray* line);

// The same, and *complete tells whether every character could be stored; one that could
// not is written as '?'.
//
// Cuts never split a double-byte character: an SP No. whose fifth byte would be the first
// half of one is cut before it (the field is then one byte short), and the last five bytes
// of DURATION start after such a pair rather than in it. Line breaks inside a cell are
// written as spaces, since the file has no way to hold them.
bool FormatListLine(const ListRowText& row, Placeholders kind, QByteArray* line, bool* complete);
