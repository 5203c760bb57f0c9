// The exports of the grid's context menu. An export writes a file for other programs: the
// list's own file and its modified state stay as they are.
#include "app/tarnwick_dlg.h"

#include "platform/file_dialog.h"
#include "platform/message_box.h"

void CTarnwickDlg::ExportTo(ExportFormat format) {
    PollPause pause(*this);
    const QString listPath = m_listFile.GetPath();
    const QString ext = ExportExtension(format);
    FileDialogRequest request{
        true, ExportFilter(format) + QStringLiteral("|*.") + ext + QStringLiteral("||"), ext};
    request.title = QStringLiteral("書き出し");
    request.proposedName = ExportFileName(listPath, format);
    const QString chosen = TwFileDialog(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    QVector<int> skipped;
    if (!ExportList(WithExportExtension(chosen, format), format, m_list.Rows(), listPath,
                    m_list.Rate(), &skipped)) {
        TwMessageBox(this, QStringLiteral("書き出しできませんでした"));
        return;
    }
    if (!skipped.isEmpty()) {
        TwMessageBox(this, ExportSkippedRowsMessage(format, skipped));
    }
}
