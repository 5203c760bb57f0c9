#include "app/list_view.h"

namespace {

bool IsShadedColumn(long col) {
    return col == COL_SPNO || col == COL_IN || col == COL_OUT || col == COL_REMARK;
}

} // namespace

ListView::ListView(SpotList& list, CMSFlexGrid& grid) : m_list(list), m_grid(grid) {
    QObject::connect(&m_list, &SpotList::Changed, &m_grid, [this] { Redraw(); });
    QObject::connect(&m_list, &SpotList::CurrentCellChanged, &m_grid, [this] { FollowList(); });
}

void ListView::SetUp() {
    m_grid.SetCols(LIST_COLS);
    for (int c = 0; c < LIST_COLS; ++c) {
        m_grid.SetTextMatrix(0, c, QString::fromLatin1(LIST_COLUMN_TITLES[c]));
    }
    Redraw();
}

void ListView::ShadeCell(long row, long col) {
    ColorRef color = COLOR_PLAIN_CELL;
    if (col == COL_NO) {
        color = COLOR_NUMBER_CELL;
    } else if (row == m_grid.GetRow() && col == m_grid.GetCol() && IsShadedColumn(col)) {
        color = COLOR_CURRENT_CELL;
    }
    m_grid.SetCellBackColorAt(row, col, color);
}

void ListView::Redraw() {
    const long rows = m_list.RowCount();
    m_following = true;
    // The cursor goes where the list's is before rows go, so that no row the grid removes
    // takes it along.
    if (rows + 1 < m_grid.GetRows()) {
        m_grid.SetRow(m_list.Row());
    }
    m_grid.SetRows(rows + 1);
    for (long r = 1; r <= rows; ++r) {
        for (long c = 0; c < LIST_COLS; ++c) {
            const QString text = m_list.Cell(r, c);
            if (m_grid.GetTextMatrix(r, c) != text) {
                m_grid.SetTextMatrix(r, c, text);
            }
        }
    }
    m_grid.SetRow(m_list.Row());
    m_grid.SetCol(m_list.Col());
    m_following = false;
    for (long r = 1; r <= rows; ++r) {
        for (long c = 0; c < LIST_COLS; ++c) {
            ShadeCell(r, c);
        }
    }
}

void ListView::FollowList() {
    m_following = true;
    m_grid.SetRow(m_list.Row());
    m_grid.SetCol(m_list.Col());
    m_following = false;
}

void ListView::OnLeaveCell() {
    if (IsShadedColumn(m_grid.GetCol())) {
        m_grid.SetCellBackColor(COLOR_PLAIN_CELL);
    }
}

void ListView::OnEnterCell() {
    ShadeCell(m_grid.GetRow(), m_grid.GetCol());
    if (!m_following) {
        m_list.SetCurrentCell(m_grid.GetRow(), m_grid.GetCol());
    }
}

void ListView::ScrollToRow(int row, int leftCol) {
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
