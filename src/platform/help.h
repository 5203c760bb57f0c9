#pragma once

#include <QString>

class QWidget;

// Opens the program's help. No help viewer of the old kind exists on current systems, so
// the help is a window of our own showing the built-in Japanese help; it is not modal.
void TwWinHelp(QWidget* owner);

// The open help window, if any (for tests).
QWidget* TwHelpWindow();
