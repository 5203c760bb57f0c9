#include "print/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
PrintDialogHook g_hook;
}

void SetPrintDialogHook(PrintDialogHook hook) {
    g_hook = std::move(hook);
}

bool TwPrintDialog(QWidget* owner, QPrinter* printer) {
    if (g_hook) {
        return g_hook(printer);
    }
    QPrintDialog dialog(printer, owner);
    // The whole list always prints: no page range, selection or current page to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}
