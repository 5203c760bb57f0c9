#pragma once

// Cells of a row as a file would have brought them: no step to undo, and a list that was
// saved stays so. Columns as the list numbers them; DURATION is computed when asked.
#include "list/spot_list.h"

inline void LayRow(SpotList& list, long row, const QString& spNo, const QString& in,
                   const QString& out, const QString& remark, bool duration = false) {
    ListSnapshot s = list.Snapshot();
    ListRowText& cells = s.rows[int(row - 1)];
    cells.spNo = spNo;
    cells.in = in;
    cells.out = out;
    cells.remark = remark;
    const bool saved = !list.IsModified();
    list.Restore(s);
    if (duration)
        list.CalcDuration(int(row), 1);
    list.ClearHistory();
    if (saved)
        list.MarkSaved();
}

inline void LayCell(SpotList& list, long row, long col, const QString& text) {
    ListSnapshot s = list.Snapshot();
    ListRowText& r = s.rows[int(row - 1)];
    QString* cells[] = {&r.no, &r.spNo, &r.in, &r.out, &r.duration, &r.remark};
    *cells[col] = text;
    const bool saved = !list.IsModified();
    list.Restore(s);
    list.ClearHistory();
    if (saved)
        list.MarkSaved();
}
