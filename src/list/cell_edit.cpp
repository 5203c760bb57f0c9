#include "app/tarnwick_dlg.h"

// Stub: replaced by the spotting-list work.
void CTarnwickDlg::OnEnterKey() {}
void CTarnwickDlg::ShowCellEdit(const QString&) {}
void CTarnwickDlg::OnCellEditChange() {}
void CTarnwickDlg::StepCaret(const QString&) {}
void CTarnwickDlg::OnCellEditSetFocus() {}
void CTarnwickDlg::OnCellEditKillFocus() {}
void CTarnwickDlg::OnEnterCell() {}
void CTarnwickDlg::OnLeaveCell() {}
void CTarnwickDlg::OnSmallButton() {}
