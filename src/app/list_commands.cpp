// The dialog's side of the list: the list library does the work; these keep the keyboard
// focus on the grid and the modified flag, as every operation ends with.
#include "app/tarnwick_dlg.h"

#include "list/cell_text.h"

void CTarnwickDlg::SetModified(int modified) {
    m_bModified = modified;
}

void CTarnwickDlg::ScrollToRow(int row, int leftCol) {
    m_list.ScrollToRow(row, leftCol);
}

void CTarnwickDlg::RenumberRows() {
    m_list.RenumberRows();
}

int CTarnwickDlg::CalcDuration(int row, int write) {
    return m_list.CalcDuration(row, write);
}

void CTarnwickDlg::ApplyFrameCheck(int row, int flag) {
    m_list.ApplyFrameCheck(row, flag);
}

void CTarnwickDlg::OnIn() {
    CaptureIn(0);
}

void CTarnwickDlg::OnOut() {
    CaptureOut(0);
}

// With no timecode a capture changes nothing, but the focus still goes back to the grid.
void CTarnwickDlg::CaptureIn(int keepText) {
    const bool captured = m_list.CaptureIn(CurrentTimecodeText(m_szTimecode), keepText != 0);
    m_grid.setFocus();
    if (captured) {
        SetModified(1);
    }
}

void CTarnwickDlg::CaptureOut(int keepText) {
    const bool captured = m_list.CaptureOut(CurrentTimecodeText(m_szTimecode), keepText != 0);
    m_grid.setFocus();
    if (captured) {
        SetModified(1);
    }
}

void CTarnwickDlg::OnIns() {
    InsertRow();
}

void CTarnwickDlg::OnDel() {
    DeleteRow();
}

// At the limits nothing changes, the focus included.
void CTarnwickDlg::InsertRow() {
    if (m_list.InsertRow()) {
        m_grid.setFocus();
        SetModified(1);
    }
}

void CTarnwickDlg::DeleteRow() {
    if (m_list.DeleteRow()) {
        m_grid.setFocus();
        SetModified(1);
    }
}

void CTarnwickDlg::OnSmallButton() {
    m_grid.setFocus();
}

void CTarnwickDlg::OnEnterCell() {
    m_list.ShadeCurrentCell();
}

void CTarnwickDlg::OnLeaveCell() {
    m_list.UnshadeCurrentCell();
}
