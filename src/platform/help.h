#pragma once

#include <QString>

class QWidget;

// Opens the program's help. No help viewer of the old kind exists on current systems, so
// the help is a window of our own showing the built-in help in the operator's language, which
// it follows when that changes; it is not modal.
void TwWinHelp(QWidget* owner);

// The open help window, if any (for tests).
QWidget* TwHelpWindow();
