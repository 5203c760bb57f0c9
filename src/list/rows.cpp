#include "app/tarnwick_dlg.h"

// Stub: replaced by the spotting-list work.
void CTarnwickDlg::OnIns() {}
void CTarnwickDlg::OnDel() {}
void CTarnwickDlg::InsertRow() {}
void CTarnwickDlg::DeleteRow() {}
