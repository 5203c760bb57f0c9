// The dialog's side of the list: the list library does the work; these keep the keyboard
// focus on the grid and the modified flag, as every operation ends with.
#include "app/tarnwick_dlg.h"

#include "list/cell_text.h"

#include <QAction>
#include <QMenu>

#include <utility>

void CTarnwickDlg::SetModified(int modified) {
    m_bModified = modified;
    m_recovery.Schedule(); // the copy holds the flag, and the file path that moves with it
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

// A click takes the frame of the moment the button went down, not of its release.
void CTarnwickDlg::OnIn() {
    CaptureIn(0, std::exchange(m_buttonDownNs, 0));
}

void CTarnwickDlg::OnOut() {
    CaptureOut(0, std::exchange(m_buttonDownNs, 0));
}

// The frame under the head at the press (pressNs on the steady clock, 0 for now): the source
// counts on from its latest reading to that moment, so that the capture holds the frame of
// the press rather than the one of the last tick. A source with nothing to go on (no port)
// gives the last tick's reading, none while the VTR is silent. An edit's commit keeps its
// text and needs only to know whether there is a timecode at all.
Timecode CTarnwickDlg::CaptureTimecode(int keepText, int64_t pressNs) const {
    if (keepText != 0)
        return m_timecode;
    const int64_t at = pressNs != 0 ? pressNs : SteadyNowNs();
    return const_cast<VtrLink&>(m_vtrLink).VtrTimecodeAt(at).value_or(m_timecode);
}

void CTarnwickDlg::CaptureIn(int keepText, int64_t pressNs) {
    m_list.CaptureIn(CaptureTimecode(keepText, pressNs), keepText != 0);
    m_grid.setFocus();
    SetModified(1);
}

void CTarnwickDlg::CaptureOut(int keepText, int64_t pressNs) {
    m_list.CaptureOut(CaptureTimecode(keepText, pressNs), keepText != 0);
    m_grid.setFocus();
    SetModified(1);
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

void CTarnwickDlg::OnEditUndo() {
    if (m_history.CanUndo()) {
        m_history.Undo();
        AfterHistoryStep();
    }
}

void CTarnwickDlg::OnEditRedo() {
    if (m_history.CanRedo()) {
        m_history.Redo();
        AfterHistoryStep();
    }
}

// Undo and redo put back the cells, the rows and the current cell of a step; either counts
// as a change to save.
void CTarnwickDlg::AfterHistoryStep() {
    ScrollToRow(static_cast<int>(m_grid.GetRow()), 0);
    m_grid.setFocus();
    SetModified(1);
}

void CTarnwickDlg::OnGridContextMenu() {
    MenuItem(ID_EDIT_UNDO)->setEnabled(m_history.CanUndo());
    MenuItem(ID_EDIT_REDO)->setEnabled(m_history.CanRedo());
    QPoint at = m_ptContextMenu;
    if (at == KEYBOARD_MENU_POINT) {
        // From the keyboard the menu opens at the current cell, below its left edge.
        at = m_grid.mapToGlobal(QPoint(
            int(m_grid.GetCellLeft() / CMSFlexGrid::TWIPS_PER_PIXEL),
            int((m_grid.GetCellTop() + m_grid.GetCellHeight()) / CMSFlexGrid::TWIPS_PER_PIXEL)));
    }
    m_contextMenu->exec(at);
}
