#include "app/tarnwick_dlg.h"

void CTarnwickDlg::OnIns() {
    InsertRow();
}

void CTarnwickDlg::OnDel() {
    DeleteRow();
}

void CTarnwickDlg::InsertRow() {
    const long row = m_grid.GetRow();
    if (m_grid.GetRows() - 1 == MAX_LIST_ROWS) {
        return;
    }
    // The new row takes the current row's place while Row keeps its number, so the shading
    // would otherwise travel down with the row that moves. The leaving rule clears it only
    // where it was set: a No. cell keeps its own colour.
    OnLeaveCell();
    m_grid.AddItem(QString(), QVariant(static_cast<int>(row)));
    RenumberRows();
    m_grid.SetCol(COL_NO);
    m_grid.SetCellBackColor(COLOR_NUMBER_CELL);
    m_grid.SetCol(COL_IN);
    m_grid.SetRow(row);
    m_grid.setFocus();
    SetModified(1);
}

void CTarnwickDlg::DeleteRow() {
    const long col = m_grid.GetCol();
    long row = m_grid.GetRow();
    if (m_grid.GetRows() - 1 <= 1) {
        return;
    }
    m_grid.RemoveItem(row);
    const long n = m_grid.GetRows() - 1;
    RenumberRows();
    if (row > n) {
        row = n;
    }
    m_grid.SetCol(col);
    m_grid.SetRow(row);
    // The row that moved up into the current place was never entered, so it is shaded here.
    OnEnterCell();
    m_grid.setFocus();
    SetModified(1);
}
