#pragma once

#include <functional>

class QDialog;

// Runs a dialog modally. Tests answer modal boxes through the hook, which receives the
// dialog (to look at it) and returns the result the dialog would have ended with.
using ModalHook = std::function<int(QDialog&)>;
void SetModalHook(ModalHook hook);
int TwDoModal(QDialog& dialog);
