#include "persist/opened_rows.h"

#include "timecode/duration.h"

QVector<ListRowText> RowsAsOpened(const ListFileContents& contents, TimecodeRate rate) {
    QVector<ListRowText> rows = contents.rows;
    for (int i = 0; i < rows.size(); ++i) {
        ListRowText& row = rows[i];
        row.no = RowLabel(i + 1);
        row.duration.clear();
        // Latin-1 as the window reads the cells: a character beyond it is no digit either.
        if (row.in.isEmpty() || row.out.isEmpty())
            continue;
        if (const std::optional<int> diff =
                RowDuration(row.in.toLatin1().constData(), row.out.toLatin1().constData(), rate))
            row.duration = QString::fromStdString(FormatDuration(*diff, rate));
    }
    return rows;
}
