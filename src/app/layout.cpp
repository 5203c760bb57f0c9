#include "app/tarnwick_dlg.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScrollBar>

namespace {
constexpr int kSizeMinimized = 1;
constexpr int GRID_TOP = 28;
constexpr int GRID_BOTTOM_SPACE = 70;
constexpr int BUTTON_BOTTOM_SPACE = 35;
} // namespace

void CTarnwickDlg::OnSize(int type, int /*cx*/, int /*cy*/) {
    if (type == kSizeMinimized) {
        return;
    }
    // The record keeps the outer size, frame included, so the next start opens the same.
    QSize outer;
    if (m_outerSize.Measure(&outer)) {
        m_session.Settings().WindowWidth = outer.width();
        m_session.Settings().WindowHeight = outer.height();
    }
    ControlReLocate();
}

void CTarnwickDlg::ControlReLocate() {
    const int W = Client()->width();
    const int H = Client()->height();
    if (m_grid.parentWidget() != Client()) {
        return; // a size message while the controls are being created
    }

    const QSize oldGrid = m_grid.size();
    m_grid.setGeometry(0, GRID_TOP, W, std::max(0, H - GRID_BOTTOM_SPACE));
    if (!m_grid.isVisible() && oldGrid != m_grid.size()) {
        // A hidden widget gets its resize event only when shown; the visible-row count
        // below needs the grid's viewport laid out now.
        QResizeEvent resize(m_grid.size(), oldGrid);
        QCoreApplication::sendEvent(&m_grid, &resize);
    }
    m_grid.update();
    FitRemarkColumn();

    // Horizontal positions and sizes never change; only y follows the window.
    auto moveToY = [this](int id, int y) {
        QWidget* w = GetDlgItem(id);
        w->move(w->x(), y);
        w->update();
    };
    moveToY(IDC_VITC_LABEL, 7);
    moveToY(IDC_TC_DISPLAY, 2);
    moveToY(IDC_FRAMECHECK_LABEL, 7);
    for (int id : {IDC_IN, IDC_OUT, IDC_INS, IDC_DEL}) {
        moveToY(id, H - BUTTON_BOTTOM_SPACE);
    }

    // Visible rows from the first data row shown; the count keeps its value when not even
    // that row is visible.
    const long top = m_grid.GetTopRow();
    for (long r = top; r < m_grid.GetRows(); ++r) {
        if (!m_grid.GetRowIsVisible(r)) {
            break;
        }
        m_view.SetVisibleRows(static_cast<int>(r - top + 1));
    }
}

// The least window size, inside the frame, that can still be used: the menu bar, the
// timecode line, the buttons and one whole grid row, with room for the grid's horizontal
// scroll bar, which the columns bring at such a width.
QSize CTarnwickDlg::MinimumWindowSize() const {
    int width = m_menuBar->sizeHint().width();
    for (int id : {IDC_VITC_LABEL, IDC_TC_DISPLAY, IDC_FRAMECHECK_LABEL, IDC_IN, IDC_OUT, IDC_INS,
                   IDC_DEL}) {
        width = std::max(width, ControlRect(id).right() + 1);
    }
    // The title row has a fixed height, which its size hint does not tell.
    const QHeaderView* titles = m_grid.horizontalHeader();
    const int titleHeight = std::max(titles->minimumHeight(), titles->sizeHint().height());
    const int gridHeight = 2 * m_grid.frameWidth() + titleHeight + m_grid.rowHeight(0) +
                           m_grid.horizontalScrollBar()->sizeHint().height();
    return QSize(width, m_menuBar->sizeHint().height() + gridHeight + GRID_BOTTOM_SPACE);
}

// The REMARK column takes the room the window leaves it, never less than the width the
// operator gave it, which is the width kept in the settings.
void CTarnwickDlg::FitRemarkColumn() {
    if (m_fittingRemark) {
        return;
    }
    if (m_remarkTwips <= 0) {
        m_remarkTwips = m_grid.GetColWidth(COL_REMARK); // before the stored widths come
    }
    long others = 0;
    for (int c = 0; c < COL_REMARK; ++c) {
        others += m_grid.GetColWidth(c);
    }
    const long room = long(m_grid.viewport()->width()) * CMSFlexGrid::TWIPS_PER_PIXEL - others;
    m_fittingRemark = true;
    m_grid.SetColWidth(COL_REMARK, std::max(m_remarkTwips, room));
    m_fittingRemark = false;
}

// A column the operator sized: REMARK keeps that width as its own; any other changes the
// room REMARK has.
void CTarnwickDlg::OnColumnSized(int col) {
    if (m_fittingRemark) {
        return;
    }
    if (col == COL_REMARK) {
        m_remarkTwips = m_grid.GetColWidth(COL_REMARK);
    }
    FitRemarkColumn();
}
