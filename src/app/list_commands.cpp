// The dialog's side of the list: the list library does the work; these keep the keyboard
// focus on the grid and scroll the view to the row an operation worked on.
#include "app/tarnwick_dlg.h"

#include <QAction>
#include <QMenu>

#include <utility>

// The flag is the list's own: every change sets it. This call is for what counts as a change
// without being one (see OnEnterKeyDown), and for saving and opening, which clear it.
void CTarnwickDlg::SetModified(int modified) {
    if (modified != 0) {
        m_list.MarkModified();
    } else {
        m_list.MarkSaved();
    }
}

// A click takes the frame of the moment the button went down, not of its release; a key, of
// the moment the key went down (set by the keyboard hook for the command it runs).
void CTarnwickDlg::OnIn() {
    CaptureIn(0, std::exchange(m_pressNs, 0));
}

void CTarnwickDlg::OnOut() {
    CaptureOut(0, std::exchange(m_pressNs, 0));
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
    const long row = m_list.Row();
    m_list.CaptureIn(CaptureTimecode(keepText, pressNs), keepText != 0);
    m_view.ScrollToRow(static_cast<int>(row), 0);
    m_grid.setFocus();
}

void CTarnwickDlg::CaptureOut(int keepText, int64_t pressNs) {
    const long row = m_list.Row();
    m_list.CaptureOut(CaptureTimecode(keepText, pressNs), keepText != 0);
    m_view.ScrollToRow(static_cast<int>(row), 0);
    m_grid.setFocus();
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
    }
}

void CTarnwickDlg::DeleteRow() {
    if (m_list.DeleteRow()) {
        m_grid.setFocus();
    }
}

void CTarnwickDlg::OnSmallButton() {
    m_grid.setFocus();
}

// Enter has always counted as a change to save, whether it opens an edit, commits one or
// clicks a focused button: the flag is set before the window's own Enter handling does that.
void CTarnwickDlg::OnEnterKeyDown() {
    SetModified(1);
}

// R edits the spot's remark; like Enter, it counts as a change whatever the edit becomes.
void CTarnwickDlg::OnRemarkKey() {
    m_list.MoveToSpotRemark();
    OnEnterKey();
    SetModified(1);
}

void CTarnwickDlg::OnEditUndo() {
    if (m_list.Undo()) {
        AfterHistoryStep();
    }
}

void CTarnwickDlg::OnEditRedo() {
    if (m_list.Redo()) {
        AfterHistoryStep();
    }
}

// Undo and redo put back the cells, the rows and the current cell of a step.
void CTarnwickDlg::AfterHistoryStep() {
    ShowFrameCheck(); // a step may have been a change of the frame rate
    m_view.ScrollToRow(static_cast<int>(m_list.Row()), 0);
    m_grid.setFocus();
}

void CTarnwickDlg::OnListMenuKey() {
    m_ptContextMenu = KEYBOARD_MENU_POINT;
    OnGridContextMenu();
}

void CTarnwickDlg::OnGridContextMenu() {
    UpdateCommandStates();
    QPoint at = m_ptContextMenu;
    if (at == KEYBOARD_MENU_POINT) {
        // From the keyboard the menu opens at the current cell, below its left edge.
        at = m_grid.mapToGlobal(QPoint(
            int(m_grid.GetCellLeft() / CMSFlexGrid::TWIPS_PER_PIXEL),
            int((m_grid.GetCellTop() + m_grid.GetCellHeight()) / CMSFlexGrid::TWIPS_PER_PIXEL)));
    }
    m_contextMenu->exec(at);
}
