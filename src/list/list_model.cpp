#include "app/tarnwick_dlg.h"

void CTarnwickDlg::SetModified(int modified) {
    m_bModified = modified;
}

void CTarnwickDlg::RenumberRows() {
    for (long i = 1; i < m_grid.GetRows(); ++i) {
        m_grid.SetTextMatrix(i, COL_NO, QString::asprintf("%04ld", i));
    }
}

void CTarnwickDlg::ScrollToRow(int row, int leftCol) {
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
