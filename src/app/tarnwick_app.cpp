#include "app/tarnwick_app.h"

#include "app/tarnwick_dlg.h"
#include "platform/termination_signals.h"

bool CTarnwickApp::InitInstance() {
    CTarnwickDlg dlg;
    // A kill, a logout or Ctrl+C in the terminal ends the program as Exit does.
    TerminationSignals ending([&dlg] { dlg.PostEndRequest(); });
    dlg.exec();
    // The program ends with the main window; no loop of its own follows.
    return false;
}
