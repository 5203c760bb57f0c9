#include "platform/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {
FileDialogHook g_hook;

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

QString TwFileDialog(QWidget* owner, const FileDialogRequest& request) {
    if (g_hook) {
        return g_hook(request);
    }
    QFileDialog dialog(owner);
    dialog.setNameFilter(QtFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultExt);
    // Titled after the commands that open them, whatever translations are installed.
    if (!request.title.isEmpty()) {
        dialog.setWindowTitle(request.title);
    } else {
        dialog.setWindowTitle(request.save ? QStringLiteral("名前を付けて保存")
                                           : QStringLiteral("開く"));
    }
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // The open dialog does not insist on an existing file; the reader reports it.
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!request.proposedName.isEmpty()) {
        dialog.selectFile(request.proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}
