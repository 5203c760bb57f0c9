#include "app/tarnwick_dlg.h"

// Stub: replaced by the spotting-list work.
void CTarnwickDlg::OnIn() {}
void CTarnwickDlg::OnOut() {}
void CTarnwickDlg::CaptureIn(int) {}
void CTarnwickDlg::CaptureOut(int) {}
