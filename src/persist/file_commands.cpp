#include "app/tarnwick_dlg.h"

#include <QCoreApplication>

// Each command stops the poll timer first and starts it again as its last step, whatever
// happened in between, so no VTR poll runs while a file dialog or message box is open.

void CTarnwickDlg::OnFileOpen() {
    KillTimer(m_nPollTimer);
    // Open replaces the list without asking about unsaved changes.
    if (m_listFile.LoadList(m_grid, 1) == 1) {
        m_settings.CurrentFile = m_listFile.GetPath();
        SetModified(0);
    }
    // Also after a cancelled or failed open: every duration is recomputed and the deferred
    // step renumbers the rows and puts the column widths back.
    for (long i = 1; i < m_grid.GetRows(); ++i) {
        if (!m_grid.GetTextMatrix(i, COL_IN).isEmpty() &&
            !m_grid.GetTextMatrix(i, COL_OUT).isEmpty())
            CalcDuration(int(i), 1);
    }
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(WM_DEFERRED_INIT)));
    m_nPollTimer = SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
}

void CTarnwickDlg::OnFileSaveAs() {
    KillTimer(m_nPollTimer);
    if (m_listFile.SaveList(m_grid, 1) == 1) {
        m_settings.CurrentFile = m_listFile.GetPath();
        SetModified(0);
    }
    m_nPollTimer = SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
}

void CTarnwickDlg::OnFileSave() {
    KillTimer(m_nPollTimer);
    // Save's own dialog does not make the file current: until Open or Save As names one,
    // every Save asks again.
    const int askName = m_settings.CurrentFile.isEmpty() ? 1 : 0;
    if (m_listFile.SaveList(m_grid, askName) == 1)
        SetModified(0);
    m_nPollTimer = SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
}
