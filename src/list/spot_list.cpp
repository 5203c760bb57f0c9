#include "list/spot_list.h"

#include "grid/msflexgrid.h"
#include "list/cell_text.h"
#include "timecode/duration.h"

namespace {

bool IsShadedColumn(long col) {
    return col == COL_SPNO || col == COL_IN || col == COL_OUT || col == COL_REMARK;
}

} // namespace

bool ListSnapshot::operator==(const ListSnapshot& other) const {
    if (row != other.row || col != other.col || rows.size() != other.rows.size()) {
        return false;
    }
    for (int i = 0; i < rows.size(); ++i) {
        const ListRowText& a = rows.at(i);
        const ListRowText& b = other.rows.at(i);
        if (a.no != b.no || a.spNo != b.spNo || a.in != b.in || a.out != b.out ||
            a.duration != b.duration || a.remark != b.remark) {
            return false;
        }
    }
    return true;
}

SpotList::SpotList(CMSFlexGrid& grid, std::function<CountingRules()> rules)
    : m_grid(grid), m_rules(std::move(rules)) {}

SpotList::Change::Change(SpotList& list, ListChange what)
    : m_list(list), m_outermost(list.m_changeDepth == 0) {
    ++m_list.m_changeDepth;
    if (m_outermost) {
        m_list.m_changeKind = what;
        m_list.m_before = m_list.Snapshot();
    }
}

SpotList::Change::~Change() {
    --m_list.m_changeDepth;
    if (m_outermost) {
        emit m_list.Changed(m_list.m_changeKind, m_list.m_before);
    }
}

QString SpotList::Cell(long row, long col) const {
    return m_grid.GetTextMatrix(row, col);
}

void SpotList::SetCell(long row, long col, const QString& text) {
    m_grid.SetTextMatrix(row, col, text);
}

void SpotList::SetUp() {
    m_grid.SetRows(INITIAL_LIST_ROWS + 1);
    for (int c = 0; c < LIST_COLS; ++c) {
        SetCell(0, c, QString::fromLatin1(LIST_COLUMN_TITLES[c]));
    }
    SetCell(1, COL_SPNO, RowLabel(1));
    m_grid.SetRow(1);
    m_grid.SetCol(COL_IN);
}

void SpotList::NumberRows() {
    const long row = m_grid.GetRow();
    const long col = m_grid.GetCol();
    m_grid.SetCol(COL_NO);
    for (long r = 1; r < m_grid.GetRows(); ++r) {
        m_grid.SetRow(r);
        m_grid.SetCellBackColor(COLOR_NUMBER_CELL);
        m_grid.SetText(RowLabel(r));
    }
    m_grid.SetRow(row);
    m_grid.SetCol(col);
}

void SpotList::RenumberRows() {
    for (long i = 1; i < m_grid.GetRows(); ++i) {
        SetCell(i, COL_NO, RowLabel(i));
    }
}

void SpotList::ScrollToRow(int row, int leftCol) {
    if (m_nVisibleRows <= 0) {
        return;
    }
    const long top = m_grid.GetTopRow();
    const long fixed = m_grid.GetFixedRows();
    const long last = top - fixed + m_nVisibleRows - 1;
    const long mid = (last + top) / 2;
    // A row in the lower half of the view is brought to the middle; one above the middle,
    // even above the view, leaves the view where it is.
    if (row >= mid) {
        const long newTop = row - (last - top) / 2;
        if (newTop > 0) {
            m_grid.SetTopRow(newTop);
        }
    }
    m_grid.SetLeftCol(leftCol);
}

// What both captures do first on the current row: scroll to it, number it, give it a spot
// number if it has none, and write the timecode into the column unless an edit has just
// written the cell.
void SpotList::BeginCapture(const Timecode& live, bool keepText, long col, long* row) {
    *row = m_grid.GetRow();
    ScrollToRow(static_cast<int>(*row), 0);
    SetCell(*row, COL_NO, RowLabel(*row));
    if (Cell(*row, COL_SPNO).isEmpty()) {
        SetCell(*row, COL_SPNO, RowLabel(*row));
    }
    if (!keepText) {
        SetCell(*row, col, CaptureCellText(live));
    }
}

void SpotList::CaptureIn(const Timecode& live, bool keepText) {
    Change change(*this, ListChange::CaptureIn);
    long row = 0;
    BeginCapture(live, keepText, COL_IN, &row);
    if (!Cell(row, COL_OUT).isEmpty()) {
        CalcDuration(row, 1);
    }
    if (row > 1 && !Cell(row - 1, COL_OUT).isEmpty()) {
        // The frame check may pull the previous OUT back, so that row's duration follows.
        ApplyFrameCheck(row, 1);
        if (!Cell(row - 1, COL_IN).isEmpty()) {
            CalcDuration(row - 1, 1);
        }
    }
    m_grid.SetCol(COL_OUT);
}

void SpotList::CaptureOut(const Timecode& live, bool keepText) {
    Change change(*this, ListChange::CaptureOut);
    long row = 0;
    BeginCapture(live, keepText, COL_OUT, &row);
    // An OUT makes no frame check: only a new IN can come too close to the OUT above it.
    if (!Cell(row, COL_IN).isEmpty()) {
        CalcDuration(row, 1);
    }
    // On the last row the cursor stays: the list never grows by capturing.
    if (row < m_grid.GetRows() - 1) {
        ++row;
        m_grid.SetRow(row);
        // The next spot shows its number before it is captured.
        if (Cell(row, COL_SPNO).isEmpty()) {
            SetCell(row, COL_SPNO, RowLabel(row));
        }
    }
    m_grid.SetCol(COL_IN);
}

bool SpotList::InsertRow() {
    const long row = m_grid.GetRow();
    if (m_grid.GetRows() - 1 >= MAX_LIST_ROWS) {
        return false;
    }
    Change change(*this, ListChange::Insert);
    // The new row takes the current row's place while Row keeps its number, so the shading
    // would otherwise travel down with the row that moves. The leaving rule clears it only
    // where it was set: a No. cell keeps its own colour.
    UnshadeCurrentCell();
    m_grid.AddItem(QString(), QVariant(static_cast<int>(row)));
    RenumberRows();
    m_grid.SetCol(COL_NO);
    m_grid.SetCellBackColor(COLOR_NUMBER_CELL);
    m_grid.SetCol(COL_IN);
    m_grid.SetRow(row);
    return true;
}

bool SpotList::DeleteRow() {
    const long col = m_grid.GetCol();
    long row = m_grid.GetRow();
    if (m_grid.GetRows() - 1 <= 1) {
        return false;
    }
    Change change(*this, ListChange::Delete);
    m_grid.RemoveItem(row);
    const long n = m_grid.GetRows() - 1;
    RenumberRows();
    if (row > n) {
        row = n;
    }
    m_grid.SetCol(col);
    m_grid.SetRow(row);
    // The row that moved up into the current place was never entered, so it is shaded here.
    ShadeCurrentCell();
    return true;
}

int SpotList::CalcDuration(int row, int write) {
    const TimecodeRate rate = m_rules().rate;
    const std::optional<int> diff = RowDuration(Cell(row, COL_IN).toLatin1().constData(),
                                                Cell(row, COL_OUT).toLatin1().constData(), rate);
    if (write == 1) {
        // A row whose IN or OUT holds no full timecode shows no duration rather than one
        // left over from times the row no longer shows.
        SetCell(row, COL_DURATION,
                diff ? QString::fromStdString(FormatDuration(*diff, rate)) : QString());
    }
    return diff.value_or(0);
}

void SpotList::ApplyFrameCheck(int row, int flag) {
    // Row 1 has only the title row above it.
    if (flag != 1 || row < 2) {
        return;
    }
    const CountingRules rules = m_rules();
    if (const std::optional<std::string> newOut = FrameCheckNewOut(
            Cell(row, COL_IN).toLatin1().constData(), Cell(row - 1, COL_OUT).toLatin1().constData(),
            rules.frameCheck, rules.rate)) {
        SetCell(row - 1, COL_OUT, QString::fromStdString(*newOut));
    }
}

void SpotList::ShadeCurrentCell() {
    if (IsShadedColumn(m_grid.GetCol())) {
        m_grid.SetCellBackColor(COLOR_CURRENT_CELL);
    }
}

void SpotList::UnshadeCurrentCell() {
    if (IsShadedColumn(m_grid.GetCol())) {
        m_grid.SetCellBackColor(COLOR_PLAIN_CELL);
    }
}

QString SpotList::EditStartText(const Timecode& live) {
    const long row = m_grid.GetRow();
    const long col = m_grid.GetCol();
    QString text = col == COL_REMARK ? RemarkAsShown(Cell(row, col)) : Cell(row, col);
    if ((col == COL_IN || col == COL_OUT) && text.isEmpty()) {
        Change change(*this, ListChange::EditStart);
        text = CaptureCellText(live);
        SetCell(row, col, text);
    }
    return text;
}

void SpotList::WriteEditedCell(const QString& text) {
    Change change(*this, ListChange::Edit);
    const bool remark = m_grid.GetCol() == COL_REMARK && !text.isEmpty();
    m_grid.SetText(remark ? QLatin1Char(' ') + text : text);
}

QVector<ListRowText> SpotList::Rows() const {
    QVector<ListRowText> rows;
    for (long i = 1; i < m_grid.GetRows(); ++i) {
        rows.append(ListRowText{Cell(i, COL_NO), Cell(i, COL_SPNO), Cell(i, COL_IN),
                                Cell(i, COL_OUT), Cell(i, COL_DURATION), Cell(i, COL_REMARK)});
    }
    return rows;
}

void SpotList::LoadRows(int dataRows, const QVector<ListRowText>& rows) {
    Change change(*this, ListChange::Load);
    if (dataRows > m_grid.GetRows() - 1) {
        m_grid.SetRows(dataRows + 1);
    }
    for (int r = 1; r <= dataRows && r <= rows.size(); ++r) {
        const ListRowText& row = rows.at(r - 1);
        SetCell(r, COL_NO, QString());
        SetCell(r, COL_SPNO, row.spNo);
        SetCell(r, COL_IN, row.in);
        SetCell(r, COL_OUT, row.out);
        SetCell(r, COL_DURATION, QString());
        SetCell(r, COL_REMARK, row.remark);
    }
}

void SpotList::RecomputeDurations() {
    for (long i = 1; i < m_grid.GetRows(); ++i) {
        if (!Cell(i, COL_IN).isEmpty() && !Cell(i, COL_OUT).isEmpty()) {
            CalcDuration(int(i), 1);
        }
    }
}

ListSnapshot SpotList::Snapshot() const {
    ListSnapshot snapshot;
    snapshot.rows = Rows();
    snapshot.row = m_grid.GetRow();
    snapshot.col = m_grid.GetCol();
    return snapshot;
}

void SpotList::Restore(const ListSnapshot& snapshot) {
    Change change(*this, ListChange::Restore);
    UnshadeCurrentCell();
    m_grid.SetRows(snapshot.rows.size() + 1);
    NumberRows(); // shades the No. cells; their texts come from the snapshot
    for (int r = 1; r <= snapshot.rows.size(); ++r) {
        const ListRowText& row = snapshot.rows.at(r - 1);
        SetCell(r, COL_NO, row.no);
        SetCell(r, COL_SPNO, row.spNo);
        SetCell(r, COL_IN, row.in);
        SetCell(r, COL_OUT, row.out);
        SetCell(r, COL_DURATION, row.duration);
        SetCell(r, COL_REMARK, row.remark);
    }
    m_grid.SetCol(snapshot.col);
    m_grid.SetRow(snapshot.row);
    ShadeCurrentCell();
}
