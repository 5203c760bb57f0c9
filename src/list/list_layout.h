#pragma once

#include <QString>

// The shape of the spotting list, shared by the list itself, its view, the list file and
// printing. Data rows are numbered from 1, and a row's number is its place in the list; the
// view shows the titles above them in row 0.

constexpr int COL_NO = 0;
constexpr int COL_SPNO = 1;
constexpr int COL_IN = 2;
constexpr int COL_OUT = 3;
constexpr int COL_DURATION = 4;
constexpr int COL_REMARK = 5;
constexpr int LIST_COLS = 6;

constexpr int INITIAL_LIST_ROWS = 30;
constexpr int MAX_LIST_ROWS = 40; // also the highest row number a list file may carry

// The titles of row 0, column by column.
constexpr const char* LIST_COLUMN_TITLES[LIST_COLS] = {"No.", "SP No.",   "IN",
                                                       "OUT", "DURATION", "REMARK"};

// A row's own number as the No. column shows it, and the spot number a capture gives a row
// that has none: four digits, zero-filled.
inline QString RowLabel(long row) {
    return QString::asprintf("%04ld", row);
}

// A REMARK cell keeps one space before its text; the editor, the exports and the file show
// the remark without it.
inline QString RemarkAsShown(const QString& cell) {
    return cell.startsWith(QLatin1Char(' ')) ? cell.mid(1) : cell;
}

// One list row: the six cell texts, the remark with its leading space.
struct ListRowText {
    QString no, spNo, in, out, duration, remark;

    bool operator==(const ListRowText& o) const {
        return no == o.no && spNo == o.spNo && in == o.in && out == o.out &&
               duration == o.duration && remark == o.remark;
    }
    bool operator!=(const ListRowText& o) const { return !(*this == o); }
};
