#pragma once

#include <QString>
#include <functional>

class QWidget;

// Appends a separator and an entry to the window's system menu where the platform offers
// one (Windows); the callback receives the entry's command id. Called again for the same id,
// it gives the entry the new text only. Elsewhere it does nothing, and the Help menu's entry
// is the way to the same box.
void AddAboutToSystemMenu(QWidget* window, int commandId, const QString& text,
                          std::function<void(int)> onCommand);
