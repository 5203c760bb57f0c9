#pragma once

#include <functional>

class QPrinter;
class QWidget;

// The print setup dialog: printer (or a PDF file), paper size and orientation. Tests answer
// it through the hook instead of a person: the hook sets up the printer (a PDF file, say) and
// says whether to print.
using PrintDialogHook = std::function<bool(QPrinter*)>;
void SetPrintDialogHook(PrintDialogHook hook);

// Lets the user pick the printer and its paper settings. True when the user chose to print.
bool TwPrintDialog(QWidget* owner, QPrinter* printer);
