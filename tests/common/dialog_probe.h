#pragma once

// A look inside the main window for tests: its members and the handlers that no routed
// command reaches directly.
#include "app/tarnwick_dlg.h"

struct DialogProbe {
    explicit DialogProbe(CTarnwickDlg& d)
        : dlg(d), m_settings(d.m_settings), m_szHelpPath(d.m_szHelpPath), m_listFile(d.m_listFile),
          m_bRemarkImeOpen(d.m_bRemarkImeOpen), m_nCaret(d.m_nCaret), m_timecode(d.m_timecode),
          m_nPollTimer(d.m_nPollTimer), m_vtrLink(d.m_vtrLink), m_editCell(d.m_editCell),
          m_grid(d.m_grid), m_list(d.m_list), m_view(d.m_view), m_recovery(d.m_recovery) {}

    CTarnwickDlg& dlg;
    AppSettings& m_settings;
    QString& m_szHelpPath;
    CGridFile& m_listFile;
    int& m_bRemarkImeOpen;
    int& m_nCaret;
    Timecode& m_timecode;
    int& m_nPollTimer;
    VtrLink& m_vtrLink;
    QLineEdit& m_editCell;
    CMSFlexGrid& m_grid;
    SpotList& m_list;
    ListView& m_view;
    RecoveryKeeper& m_recovery;

    void OnTimer() { dlg.OnTimer(); }
    void KillTimer(int timer) { dlg.KillTimer(timer); }
    QSize MinimumWindowSize() const { return dlg.MinimumWindowSize(); }

    // Cells of a row as a file would have brought them: no step to undo, and a list that was
    // saved stays so. Columns as the list numbers them; DURATION is computed when asked.
    void LayRow(long row, const QString& spNo, const QString& in, const QString& out,
                const QString& remark, bool duration = false) {
        ListSnapshot s = m_list.Snapshot();
        ListRowText& cells = s.rows[int(row - 1)];
        cells.spNo = spNo;
        cells.in = in;
        cells.out = out;
        cells.remark = remark;
        const bool saved = !m_list.IsModified();
        m_list.Restore(s);
        if (duration)
            m_list.CalcDuration(int(row), 1);
        m_list.ClearHistory();
        if (saved)
            m_list.MarkSaved();
    }
    void LayCell(long row, long col, const QString& text) {
        ListSnapshot s = m_list.Snapshot();
        ListRowText& r = s.rows[int(row - 1)];
        QString* cells[] = {&r.no, &r.spNo, &r.in, &r.out, &r.duration, &r.remark};
        *cells[col] = text;
        const bool saved = !m_list.IsModified();
        m_list.Restore(s);
        m_list.ClearHistory();
        if (saved)
            m_list.MarkSaved();
    }
};

inline DialogProbe Probe(CTarnwickDlg& dlg) {
    return DialogProbe(dlg);
}
