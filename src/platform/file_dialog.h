#pragma once

#include <QString>
#include <functional>

class QWidget;

// File dialogs for the list file. Tests answer them through the hook.
struct FileDialogRequest {
    bool save;          // save dialog (with overwrite prompt) or open dialog
    QString filter;     // in the "Name (*.ext)|*.ext|...||" form
    QString defaultExt; // appended when the chosen name has no extension
};

// Returns the chosen full path, or an empty string when the user cancelled.
using FileDialogHook = std::function<QString(const FileDialogRequest&)>;
void SetFileDialogHook(FileDialogHook hook);

QString TwFileDialog(QWidget* owner, const FileDialogRequest& request);
