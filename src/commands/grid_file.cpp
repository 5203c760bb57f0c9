#include "commands/grid_file.h"

#include "formats/list_export.h"
#include "list/spot_list.h"
#include "persist/list_file.h"
#include "persist/list_read_notes.h"
#include "persist/settings_io.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/replace_file.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

namespace {

const QString LIST_FILE_FILTER = QStringLiteral("Grid Files (*.txt)|*.txt|All Files (*.*)|*.*||");
const QString LIST_FILE_EXT = QStringLiteral("txt");

// Boxes and dialogs are given no owner of their own; like the framework, the active main
// window then owns them.
QWidget* Owner() {
    return QApplication::activeWindow();
}

// Shows the save or open dialog; a confirmed name replaces *path. False when cancelled.
bool ChoosePath(bool save, QString* path) {
    const QString chosen =
        TwFileDialog(Owner(), FileDialogRequest{save, LIST_FILE_FILTER, LIST_FILE_EXT});
    if (chosen.isEmpty())
        return false;
    *path = chosen;
    return true;
}

QString NotStoredMessage(const QVector<int>& rows) {
    return QCoreApplication::translate(
               "CGridFile", "ファイルに保存できない文字を「?」に置き換えて保存しました。\n"
                            "対象のNo: ") +
           RowNumberList(rows);
}

} // namespace

void CGridFile::LoadSettings(const QString& iniPath, AppSettings* settings) {
    LoadAppSettings(iniPath, settings);
}

void CGridFile::SaveSettings(const QVector<int>& widths, const QString& iniPath,
                             AppSettings* settings) {
    int columns[LIST_COLS] = {};
    for (int i = 0; i < LIST_COLS && i < widths.size(); ++i)
        columns[i] = widths[i];
    // A failed write is not reported: the program is ending and has nobody to tell.
    SaveAppSettings(iniPath, settings, columns);
}

int CGridFile::SaveList(const SpotList& list, int askName) {
    const QString previous = m_strPath;
    if (askName && !ChoosePath(true, &m_strPath))
        return 0;

    QVector<int> notStored;
    const QByteArray bytes = BuildListFile(list.Rows(), &notStored, list.FrameRate());

    if (!ReplaceFileContent(m_strPath, bytes)) {
        // The name that could not be written is forgotten, so a later Save without a
        // dialog still writes the current file.
        m_strPath = previous;
        TwMessageBox(Owner(),
                     QCoreApplication::translate("CGridFile", "ファイル保存できませんでした"),
                     BoxButtons::Ok);
        return 0;
    }
    if (!notStored.isEmpty())
        TwMessageBox(Owner(), NotStoredMessage(notStored), BoxButtons::Ok);
    return 1;
}

int CGridFile::LoadList(SpotList& list, int askName) {
    const QString previous = m_strPath;
    if (askName && !ChoosePath(false, &m_strPath))
        return 0;

    QByteArray bytes;
    if (const FileFault fault = ReadListFileBytes(m_strPath, &bytes); fault != FileFault::None) {
        m_strPath = previous;
        TwMessageBox(
            Owner(),
            fault == FileFault::TooLarge ? ListTooLargeMessage()
            : fault == FileFault::NotRegular
                ? NotPlainFileMessage()
                : QCoreApplication::translate("CGridFile", "ファイル読み込みできませんでした"),
            BoxButtons::Ok);
        return 0;
    }
    const ListFileContents contents = ReadListFile(bytes, int(list.RowCount()));
    // Every row read is written whole; the Open command recomputes the durations.
    list.LoadRows(contents.dataRows, contents.rows, contents.fps);
    // One box, with the list loaded behind it: every line not read, and the encoding.
    if (const QString notice = ListReadNotice(contents); !notice.isEmpty())
        TwMessageBox(Owner(), notice, BoxButtons::Ok);
    return 1;
}
