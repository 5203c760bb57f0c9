#pragma once

#include <QString>
#include <functional>

class QWidget;

// File dialogs for the list file and the exports. Tests answer them through the hook.
struct FileDialogRequest {
    bool save;                 // save dialog (with overwrite prompt) or open dialog
    QString filter;            // in the "Name (*.ext)|*.ext|...||" form
    QString defaultExt;        // appended when the chosen name has no extension
    QString title = {};        // the command's own title; by default Open's or Save As's
    QString proposedName = {}; // a file name the dialog starts with
};

// Returns the chosen full path, or an empty string when the user cancelled.
using FileDialogHook = std::function<QString(const FileDialogRequest&)>;
void SetFileDialogHook(FileDialogHook hook);

QString TwFileDialog(QWidget* owner, const FileDialogRequest& request);
