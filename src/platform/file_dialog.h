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
    // The folder the dialog starts in; TwFileDialog fills it in (see FileDialogFolder).
    QString startFolder = {};
};

// Returns the chosen path, or an empty string when the user cancelled. A hook may answer a
// bare or relative name, as typed into the dialog: it is taken in the start folder.
using FileDialogHook = std::function<QString(const FileDialogRequest&)>;
void SetFileDialogHook(FileDialogHook hook);

// Shows the dialog; returns the chosen full path or an empty string.
QString TwFileDialog(QWidget* owner, const FileDialogRequest& request);

// Every file dialog starts in the folder of the last file confirmed in any of them, and in
// the working folder until then, as the old system's dialogs did by moving the process's
// current directory. That directory itself never moves here: default.ini and the help file
// stay where the program started.
QString FileDialogFolder();
// Forgets the last folder (for tests, each in a working folder of its own).
void ResetFileDialogFolder();
// Starts the dialogs in this folder, as kept from an earlier run; none, or one that is no
// longer there, leaves them in the working folder.
void SetFileDialogFolder(const QString& folder);
