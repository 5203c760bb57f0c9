#include "persist/grid_file.h"

#include "app/tarnwick_dlg.h"
#include "grid/msflexgrid.h"
#include "persist/list_export.h"
#include "persist/list_file.h"
#include "persist/replace_file.h"
#include "persist/settings_io.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QStringList>

#include <algorithm>
#include <climits>

static_assert(LIST_FILE_MAX_ROWS == MAX_LIST_ROWS, "the file and the grid share one row limit");

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
    return QStringLiteral("ファイルに保存できない文字を「?」に置き換えて保存しました。\n"
                          "対象のNo: ") +
           RowNumberList(rows);
}

} // namespace

void CGridFile::LoadSettings(const QString& iniPath, AppSettings* settings) {
    LoadAppSettings(iniPath, settings);
}

void CGridFile::SaveSettings(CMSFlexGrid& grid, const QString& iniPath, AppSettings* settings) {
    int widths[6];
    for (int i = 0; i < 6; ++i)
        widths[i] = int(std::clamp<long>(grid.GetColWidth(i), INT_MIN, INT_MAX));
    // A failed write is not reported: the program is ending and has nobody to tell.
    SaveAppSettings(iniPath, settings, widths);
}

int CGridFile::SaveList(CMSFlexGrid& grid, int askName) {
    const QString previous = m_strPath;
    if (askName && !ChoosePath(true, &m_strPath))
        return 0;

    QVector<int> notStored;
    const QByteArray bytes = BuildListFile(ReadListRows(grid), &notStored);

    if (!ReplaceFileContent(m_strPath, bytes)) {
        // The name that could not be written is forgotten, so a later Save without a
        // dialog still writes the current file.
        m_strPath = previous;
        TwMessageBox(Owner(), QStringLiteral("ファイル保存できませんでした"), MB_OK);
        return 0;
    }
    if (!notStored.isEmpty())
        TwMessageBox(Owner(), NotStoredMessage(notStored), MB_OK);
    return 1;
}

int CGridFile::LoadList(CMSFlexGrid& grid, int askName) {
    const QString previous = m_strPath;
    if (askName && !ChoosePath(false, &m_strPath))
        return 0;

    QByteArray bytes;
    if (!ReadListFileBytes(m_strPath, &bytes)) {
        m_strPath = previous;
        TwMessageBox(Owner(), QStringLiteral("ファイル読み込みできませんでした"), MB_OK);
        return 0;
    }
    const ListFileContents contents = ReadListFile(bytes, int(grid.GetRows() - 1));
    // Shown before the grid changes.
    if (contents.outOfRange) {
        TwMessageBox(
            Owner(),
            QString::asprintf("Noは0001から%04dの間にしてください、範囲外のNoは読み込めません",
                              MAX_LIST_ROWS),
            MB_OK);
    }
    if (contents.dataRows > grid.GetRows() - 1)
        grid.SetRows(contents.dataRows + 1);
    // Every row is rewritten, No. included: the Open command's deferred step renumbers.
    for (int r = 1; r <= contents.dataRows; ++r) {
        const ListRowText& row = contents.rows.at(r - 1);
        grid.SetTextMatrix(r, COL_NO, QString());
        grid.SetTextMatrix(r, COL_SPNO, row.spNo);
        grid.SetTextMatrix(r, COL_IN, row.in);
        grid.SetTextMatrix(r, COL_OUT, row.out);
        grid.SetTextMatrix(r, COL_DURATION, QString());
        grid.SetTextMatrix(r, COL_REMARK, row.remark);
    }
    return 1;
}

QVector<ListRowText> ReadListRows(const CMSFlexGrid& grid) {
    QVector<ListRowText> rows;
    for (long i = 1; i < grid.GetRows(); ++i) {
        rows.append(ListRowText{grid.GetTextMatrix(i, COL_NO), grid.GetTextMatrix(i, COL_SPNO),
                                grid.GetTextMatrix(i, COL_IN), grid.GetTextMatrix(i, COL_OUT),
                                grid.GetTextMatrix(i, COL_DURATION),
                                grid.GetTextMatrix(i, COL_REMARK)});
    }
    return rows;
}
