#pragma once

#include <QString>

class QWidget;

// Opens the program's help. No help viewer of the old kind exists on current systems, so
// the help is a window of our own showing the built-in Japanese help; it is not modal. The
// help path is kept for a platform that has such a viewer.
void TwWinHelp(QWidget* owner, const QString& helpPath);

// The open help window, if any (for tests).
QWidget* TwHelpWindow();
