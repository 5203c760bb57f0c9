// Lists that come in from other programs: an EDL, a CSV or workbook, a log, or markers of an
// editing timeline. The list that comes in replaces the one shown, as Open does, but as one
// step that undo takes back, and with no file of its own until it is saved.
#include "app/tarnwick_dlg.h"

#include "formats/list_import.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

void CTarnwickDlg::OnFileImport() {
    PollPause pause(*this);
    // The list about to be replaced had no other copy: it may be saved first.
    if (m_list.IsModified()) {
        const BoxAnswer answer = TwMessageBox(
            this, QStringLiteral("変更されています。保存しますか？"), BoxButtons::YesNo);
        if (m_ending) {
            return;
        }
        if (answer == BoxAnswer::Yes) {
            if (m_listFile.SaveList(m_list, 1) != 1) {
                return; // cancelled or failed: the list stays as it is
            }
            m_settings.CurrentFile = m_listFile.GetPath();
            SetModified(0);
        }
    }
    FileDialogRequest request{false, ImportFilter(), QString()};
    request.title = QStringLiteral("読み込み");
    const QString chosen = TwFileDialog(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    const ImportedList imported = ImportListFile(chosen, m_list.Rate());
    if (!imported.read) {
        TwMessageBox(this, imported.error);
        return;
    }
    m_list.ImportRows(imported.rows);
    // The list is not that file: Save asks for a name.
    m_listFile.SetPath(QString());
    m_settings.CurrentFile.clear();
    m_grid.SetTopRow(1);
    m_grid.setFocus();
    if (const QString message = ImportLeftOutMessage(imported.leftOut); !message.isEmpty()) {
        TwMessageBox(this, message);
    }
}
