#include "platform/file_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {
FileDialogHook g_hook;
QString g_lastFolder; // of the last file confirmed; empty until then

// "Grid Files (*.txt)|*.txt|All Files (*.*)|*.*||" -> "Grid Files (*.txt);;All Files (*.*)"
QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        // Qt matches "*.*" only against names with a dot; "*" is what "all files" means.
        name.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        names << name;
    }
    return names.join(QStringLiteral(";;"));
}
} // namespace

void SetFileDialogHook(FileDialogHook hook) {
    g_hook = std::move(hook);
}

QString FileDialogFolder() {
    // A folder removed since falls back to the working folder rather than leaving the
    // dialog to pick a place of its own.
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir()) {
        return g_lastFolder;
    }
    return QDir::currentPath();
}

void ResetFileDialogFolder() {
    g_lastFolder.clear();
}

void SetFileDialogFolder(const QString& folder) {
    g_lastFolder =
        !folder.isEmpty() && QFileInfo(folder).isDir() ? QDir(folder).absolutePath() : QString();
}

QString TwFileDialog(QWidget* owner, const FileDialogRequest& request) {
    FileDialogRequest shown = request;
    shown.startFolder = FileDialogFolder();
    QString chosen;
    if (g_hook) {
        chosen = g_hook(shown);
    } else {
        QFileDialog dialog(owner);
        dialog.setDirectory(shown.startFolder);
        dialog.setNameFilter(QtFilter(shown.filter));
        dialog.setDefaultSuffix(shown.defaultExt);
        // Titled after the commands that open them, whatever translations are installed.
        if (!shown.title.isEmpty()) {
            dialog.setWindowTitle(shown.title);
        } else {
            dialog.setWindowTitle(
                shown.save ? QCoreApplication::translate("FileDialog", "名前を付けて保存")
                           : QCoreApplication::translate("FileDialog", "開く"));
        }
        if (shown.save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            // The open dialog does not insist on an existing file; the reader reports it.
            dialog.setFileMode(QFileDialog::AnyFile);
        }
        if (!shown.proposedName.isEmpty()) {
            dialog.selectFile(shown.proposedName);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().first();
        }
    }
    if (chosen.isEmpty()) {
        return QString();
    }
    const QFileInfo path(QDir(shown.startFolder), chosen);
    g_lastFolder = path.absolutePath();
    return path.absoluteFilePath();
}
