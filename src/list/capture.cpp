#include "app/tarnwick_dlg.h"

#include "list/current_timecode.h"

namespace {

QString RowNumber(long row) {
    return QString::asprintf("%04ld", row);
}

// What both captures do first on the current row: scroll to it, number it, give it a spot
// number if it has none, and write the timecode into the column unless the edit commit has
// just written the cell. False when there is no timecode: the grid only gets the focus.
bool BeginCapture(CTarnwickDlg& dlg, long col, int keepText, long* row) {
    if (dlg.m_szTimecode[0] == '\0') {
        dlg.m_grid.setFocus();
        return false;
    }
    *row = dlg.m_grid.GetRow();
    dlg.ScrollToRow(static_cast<int>(*row), 0);
    dlg.m_grid.SetTextMatrix(*row, COL_NO, RowNumber(*row));
    if (dlg.m_grid.GetTextMatrix(*row, COL_SPNO).isEmpty()) {
        dlg.m_grid.SetTextMatrix(*row, COL_SPNO, RowNumber(*row));
    }
    if (!keepText) {
        dlg.m_grid.SetTextMatrix(*row, col, CurrentTimecodeText(dlg.m_szTimecode));
    }
    return true;
}

} // namespace

void CTarnwickDlg::OnIn() {
    CaptureIn(0);
}

void CTarnwickDlg::OnOut() {
    CaptureOut(0);
}

void CTarnwickDlg::CaptureIn(int keepText) {
    long row = 0;
    if (!BeginCapture(*this, COL_IN, keepText, &row)) {
        return;
    }
    if (!m_grid.GetTextMatrix(row, COL_OUT).isEmpty()) {
        CalcDuration(row, 1);
    }
    if (row > 1 && !m_grid.GetTextMatrix(row - 1, COL_OUT).isEmpty()) {
        // The frame check may pull the previous OUT back, so that row's duration follows.
        ApplyFrameCheck(row, 1);
        if (!m_grid.GetTextMatrix(row - 1, COL_IN).isEmpty()) {
            CalcDuration(row - 1, 1);
        }
    }
    m_grid.SetCol(COL_OUT);
    m_grid.setFocus();
    SetModified(1);
}

void CTarnwickDlg::CaptureOut(int keepText) {
    long row = 0;
    if (!BeginCapture(*this, COL_OUT, keepText, &row)) {
        return;
    }
    // An OUT makes no frame check: only a new IN can come too close to the OUT above it.
    if (!m_grid.GetTextMatrix(row, COL_IN).isEmpty()) {
        CalcDuration(row, 1);
    }
    // On the last row the cursor stays: the list never grows by capturing.
    if (row < m_grid.GetRows() - 1) {
        ++row;
        m_grid.SetRow(row);
        // The next spot shows its number before it is captured.
        if (m_grid.GetTextMatrix(row, COL_SPNO).isEmpty()) {
            m_grid.SetTextMatrix(row, COL_SPNO, RowNumber(row));
        }
    }
    m_grid.SetCol(COL_IN);
    m_grid.setFocus();
    SetModified(1);
}
