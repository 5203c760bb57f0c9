// Each command stops polling first and starts it again as its last step, whatever happened in
// between, so no VTR poll runs while a file dialog or message box is open.
#include "app/tarnwick_dlg.h"

void CTarnwickDlg::OnFileOpen() {
    PollPause pause(*this);
    // Open replaces the list without asking about unsaved changes.
    if (m_listFile.LoadList(m_list, 1) == 1) {
        m_settings.CurrentFile = m_listFile.GetPath();
        SetModified(0);
    }
    {
        // Also after a cancelled or failed open: every duration is recomputed and the
        // deferred step puts the column widths back.
        SpotList::Change change(m_list, ListChange::Load);
        m_list.RecomputeDurations();
    }
    ShowFrameCheck(); // the file's own rate may be another
    PostDeferredInit();
}

void CTarnwickDlg::OnFileSaveAs() {
    PollPause pause(*this);
    if (m_listFile.SaveList(m_list, 1) == 1) {
        m_settings.CurrentFile = m_listFile.GetPath();
        SetModified(0);
    }
}

void CTarnwickDlg::OnFileSave() {
    PollPause pause(*this);
    // Save's own dialog does not make the file current: until Open or Save As names one,
    // every Save asks again.
    const int askName = m_settings.CurrentFile.isEmpty() ? 1 : 0;
    if (m_listFile.SaveList(m_list, askName) == 1) {
        SetModified(0);
    }
}
