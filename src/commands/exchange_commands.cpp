#include "commands/exchange_commands.h"

#include "commands/file_commands.h"
#include "commands/grid_file.h"
#include "commands/polling.h"
#include "commands/screen.h"
#include "formats/list_import.h"
#include "list/spot_list.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QStringList>

ExchangeCommands::ExchangeCommands(SpotList& list, CGridFile& listFile, FileCommands& files,
                                   Screen& screen, Polling& polling)
    : m_list(list), m_listFile(listFile), m_files(files), m_screen(screen), m_polling(polling) {}

void ExchangeCommands::ExportTo(const InterchangeFormat& format) {
    Polling::Pause pause(m_polling);
    const QString listPath = m_listFile.GetPath();
    const QString ext = ExportExtension(format);
    FileDialogRequest request{
        true, ExportFilter(format) + QStringLiteral("|*.") + ext + QStringLiteral("||"), ext};
    request.title = ExportDialogTitle(format);
    request.proposedName = ExportFileName(listPath, format);
    const QString chosen = TwFileDialog(m_screen.Owner(), request);
    if (chosen.isEmpty()) {
        return;
    }
    QVector<int> skipped, changed;
    if (!ExportList(WithExportExtension(chosen, format), format, m_list.Rows(), listPath,
                    m_list.Rate(), &skipped, &changed)) {
        TwMessageBox(m_screen.Owner(), QStringLiteral("書き出しできませんでした"));
        return;
    }
    // One box for all that was left out or changed.
    QStringList notes;
    if (!skipped.isEmpty())
        notes << ExportSkippedRowsMessage(format, skipped);
    if (!changed.isEmpty())
        notes << ExportTextChangedMessage(changed);
    if (!notes.isEmpty()) {
        TwMessageBox(m_screen.Owner(), notes.join(QStringLiteral("\n\n")));
    }
}

void ExchangeCommands::OnFileImport() {
    Polling::Pause pause(m_polling);
    // The list about to be replaced had no other copy: it may be saved first.
    if (!m_files.OfferToSave()) {
        return;
    }
    FileDialogRequest request{false, ImportFilter(), QString()};
    request.title = QStringLiteral("読み込み");
    const QString chosen = TwFileDialog(m_screen.Owner(), request);
    if (chosen.isEmpty()) {
        return;
    }
    const ImportedList imported = ImportListFile(chosen, m_list.Rate());
    if (!imported.read) {
        TwMessageBox(m_screen.Owner(), imported.error);
        return;
    }
    m_list.ImportRows(imported.rows);
    // The list is not that file: Save asks for a name.
    m_listFile.SetPath(QString());
    m_files.ShowDocument();
    m_screen.ShowFromTop();
    m_screen.FocusList();
    if (const QString message = ImportLeftOutMessage(imported.leftOut); !message.isEmpty()) {
        TwMessageBox(m_screen.Owner(), message);
    }
}
