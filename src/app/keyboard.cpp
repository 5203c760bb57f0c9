#include "app/tarnwick_dlg.h"

#include <QKeyEvent>

// Stub: replaced by the spotting-list work. Returns true to swallow the key.
bool CTarnwickDlg::PreTranslateMessage(QObject*, QKeyEvent*) {
    return false;
}
