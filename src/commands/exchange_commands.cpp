#include "commands/exchange_commands.h"

#include "commands/file_commands.h"
#include "commands/grid_file.h"
#include "commands/polling.h"
#include "commands/screen.h"
#include "formats/list_import.h"
#include "list/spot_list.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QStringList>
#include <QThread>

#include <memory>
#include <optional>

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
        TwMessageBox(m_screen.Owner(),
                     QCoreApplication::translate("ExchangeCommands", "書き出しできませんでした"));
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

namespace {

// The window's busy cursor, for as long as this lives.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Reads the file on a thread of its own while the window's loop goes on: the timecode keeps
// running, the window draws and an end request is heard, but the operator's keys and clicks
// wait until the list is there. Nothing when the program began to end meanwhile; the read
// then finishes on its own (it is bounded) and its result is dropped.
std::optional<ImportedList> ReadOffTheWindow(const QString& path, TimecodeRate rate,
                                             Polling& polling) {
    struct Job {
        ImportedList result;
    };
    const auto job = std::make_shared<Job>();
    QThread* reader =
        QThread::create([job, path, rate] { job->result = ImportListFile(path, rate); });
    QEventLoop loop;
    bool finished = false;
    QObject::connect(reader, &QThread::finished, &loop, [&finished, &loop] {
        finished = true;
        loop.quit();
    });
    QObject::connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    QObject::connect(&polling, &Polling::Ended, &loop, &QEventLoop::quit);
    BusyCursor busy;
    reader->start();
    while (!finished && !polling.Ending())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished)
        return std::nullopt;
    // finished came after the reader wrote its result.
    return job->result;
}

} // namespace

void ExchangeCommands::OnFileImport() {
    QString chosen;
    {
        Polling::Pause pause(m_polling);
        // The list about to be replaced had no other copy: it may be saved first.
        if (!m_files.OfferToSave()) {
            return;
        }
        FileDialogRequest request{false, ImportFilter(), QString()};
        request.title = QCoreApplication::translate("ExchangeCommands", "読み込み");
        chosen = TwFileDialog(m_screen.Owner(), request);
        if (chosen.isEmpty() || m_polling.Ending()) {
            return;
        }
    }
    const std::optional<ImportedList> read = ReadOffTheWindow(chosen, m_list.Rate(), m_polling);
    if (!read) {
        return;
    }
    const ImportedList& imported = *read;
    Polling::Pause pause(m_polling);
    if (!imported.read) {
        TwMessageBox(m_screen.Owner(), imported.error);
        return;
    }
    // One step, which undo takes back whole.
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
