#pragma once

// A look inside the main window for tests: its members and the handlers that no routed
// command reaches directly.
#include "app/tarnwick_dlg.h"

struct DialogProbe {
    explicit DialogProbe(CTarnwickDlg& d)
        : dlg(d), m_settings(d.m_settings), m_szHelpPath(d.m_szHelpPath),
          m_bModified(d.m_bModified), m_listFile(d.m_listFile),
          m_bRemarkImeOpen(d.m_bRemarkImeOpen), m_nCaret(d.m_nCaret), m_timecode(d.m_timecode),
          m_nPollTimer(d.m_nPollTimer), m_vtrLink(d.m_vtrLink), m_editCell(d.m_editCell),
          m_grid(d.m_grid), m_list(d.m_list), m_recovery(d.m_recovery) {}

    CTarnwickDlg& dlg;
    AppSettings& m_settings;
    QString& m_szHelpPath;
    int& m_bModified;
    CGridFile& m_listFile;
    int& m_bRemarkImeOpen;
    int& m_nCaret;
    Timecode& m_timecode;
    int& m_nPollTimer;
    VtrLink& m_vtrLink;
    QLineEdit& m_editCell;
    CMSFlexGrid& m_grid;
    SpotList& m_list;
    RecoveryKeeper& m_recovery;

    void SetModified(int modified) { dlg.SetModified(modified); }
    void ScrollToRow(int row, int leftCol) { dlg.ScrollToRow(row, leftCol); }
    void OnTimer() { dlg.OnTimer(); }
    void KillTimer(int timer) { dlg.KillTimer(timer); }
    int CalcDuration(int row, int write) { return dlg.CalcDuration(row, write); }
    QSize MinimumWindowSize() const { return dlg.MinimumWindowSize(); }
};

inline DialogProbe Probe(CTarnwickDlg& dlg) {
    return DialogProbe(dlg);
}
