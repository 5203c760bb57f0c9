#include "app/tarnwick_app.h"

#include "app/tarnwick_dlg.h"

bool CTarnwickApp::InitInstance() {
    CTarnwickDlg dlg;
    dlg.exec();
    // The program ends with the main window; no loop of its own follows.
    return false;
}
