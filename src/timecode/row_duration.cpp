#include "app/tarnwick_dlg.h"

#include "timecode/duration.h"

namespace {

// Drop-frame exactly when the setting holds 1; read on every call, so that a change from
// the menu applies from the next call on.
int DropMode(const AppSettings& settings) {
    return settings.Drop == 1 ? 1 : 0;
}

QByteArray CellText(const CMSFlexGrid& grid, int row, int col) {
    return grid.GetTextMatrix(row, col).toLatin1();
}

} // namespace

int CTarnwickDlg::CalcDuration(int row, int write) {
    const int drop = DropMode(m_settings);
    int diff = 0;
    const bool readable = RowDuration(CellText(m_grid, row, COL_IN).constData(),
                                      CellText(m_grid, row, COL_OUT).constData(), drop, &diff);
    if (write == 1) {
        // A row whose IN or OUT holds no full timecode shows no duration rather than one
        // left over from times the row no longer shows.
        m_grid.SetTextMatrix(row, COL_DURATION,
                             readable ? QString::fromStdString(FormatDuration(diff, drop))
                                      : QString());
    }
    return readable ? diff : 0;
}

void CTarnwickDlg::ApplyFrameCheck(int row, int flag) {
    // Row 1 has only the title row above it.
    if (flag != 1 || row < 2)
        return;
    std::string newOut;
    if (FrameCheckNewOut(CellText(m_grid, row, COL_IN).constData(),
                         CellText(m_grid, row - 1, COL_OUT).constData(), m_settings.FrameCheck,
                         DropMode(m_settings), &newOut))
        m_grid.SetTextMatrix(row - 1, COL_OUT, QString::fromStdString(newOut));
}
