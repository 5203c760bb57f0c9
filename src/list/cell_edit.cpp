#include "app/tarnwick_dlg.h"

#include "list/current_timecode.h"
#include "persist/cp932.h"
#include "platform/ime.h"
#include "timecode/timecode.h"

#include <QApplication>
#include <QSignalBlocker>

namespace {

constexpr int TIMECODE_LENGTH = 11; // "00:00:00:00"
// Room for the one typed character before the overwrite mask removes the one it replaces.
constexpr int TIMECODE_EDIT_LIMIT = TIMECODE_LENGTH + 1;
constexpr int TIMECODE_EDIT_CARET = 9; // before the frames
constexpr int SPNO_LIMIT = 5;
constexpr int REMARK_LIMIT = 255;
constexpr int TWIPS_PER_PIXEL = 15; // at 96 dots per inch

bool IsShadedColumn(long col) {
    return col == COL_SPNO || col == COL_IN || col == COL_OUT || col == COL_REMARK;
}

// A text an IN or OUT cell may take from the editor: exactly HH:MM:SS:FF with every field in
// range. The range test alone reads its fields as a formatted scan does, so it would also
// pass "01:00:10:011" (typed at the end of the text) or a pasted "1:2:3:4" padded with blanks.
bool IsTimecodeEditText(const QString& text) {
    if (text.size() != TIMECODE_LENGTH) {
        return false;
    }
    for (int i = 0; i < TIMECODE_LENGTH; ++i) {
        const QChar c = text.at(i);
        const bool colon = i == 2 || i == 5 || i == 8;
        if (colon ? c != QLatin1Char(':') : (c < QLatin1Char('0') || c > QLatin1Char('9'))) {
            return false;
        }
    }
    return IsValidTimecodeText(text.toLatin1().constData()) == 1;
}

int CommonPrefixLength(const QString& a, const QString& b) {
    int n = 0;
    while (n < a.size() && n < b.size() && a.at(n) == b.at(n)) {
        ++n;
    }
    return n;
}

// What a change put into the text: the part of after between what it kept at either end.
QString InsertedText(const QString& before, const QString& after) {
    const int prefix = CommonPrefixLength(before, after);
    int suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    return after.mid(prefix, after.size() - prefix - suffix);
}

int SelectionStart(const QLineEdit& edit) {
    return edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
}

void OpenEdit(CTarnwickDlg& dlg) {
    const long col = dlg.m_grid.GetCol();
    const long row = dlg.m_grid.GetRow();
    QString text = dlg.m_grid.GetTextMatrix(row, col);
    int caret = 0;
    int limit = 0;
    switch (col) {
    case COL_SPNO:
        caret = static_cast<int>(text.size());
        limit = SPNO_LIMIT;
        break;
    case COL_IN:
    case COL_OUT:
        // The pre-filled timecode stays in the cell even if the edit is then cancelled.
        if (text.isEmpty()) {
            text = CurrentTimecodeText(dlg.m_szTimecode);
            dlg.m_grid.SetTextMatrix(row, col, text);
        } else if (!IsTimecodeEditText(text)) {
            // A damaged cell (a hand-edited list file) could never be typed into a valid
            // timecode by the mask; the edit starts from the current one instead, and the
            // cell keeps its text unless the edit is committed.
            text = CurrentTimecodeText(dlg.m_szTimecode);
        }
        caret = TIMECODE_EDIT_CARET;
        limit = TIMECODE_EDIT_LIMIT;
        break;
    case COL_REMARK:
        // The cell keeps its leading space; the editor shows the remark without it.
        if (text.startsWith(QLatin1Char(' '))) {
            text.remove(0, 1);
        }
        caret = static_cast<int>(text.size());
        limit = REMARK_LIMIT;
        break;
    default:
        return;
    }
    {
        // A shorter limit cuts the previous edit's text, which is no change to handle.
        const QSignalBlocker quiet(&dlg.m_editCell);
        dlg.m_editCell.setMaxLength(limit);
    }
    dlg.m_nCaret = caret;
    dlg.ShowCellEdit(text);
    dlg.m_editCell.setCursorPosition(dlg.m_nCaret);
}

void CommitEdit(CTarnwickDlg& dlg) {
    // Read before the focus change below, whose handler moves the cursor after a remark.
    const long col = dlg.m_grid.GetCol();
    const long row = dlg.m_grid.GetRow();
    if (col == COL_NO || col == COL_DURATION) {
        return;
    }
    // With no edit open there is nothing to commit: the hidden editor still holds the text
    // of the last edit, which must not land in whatever cell is current now.
    if (dlg.m_editCell.isHidden()) {
        return;
    }
    QString text = dlg.m_editCell.text();
    // An edit left open over another column (see OnCellEditKillFocus) may hold anything; an
    // IN or OUT cell takes nothing but a valid timecode, so such a commit stays open.
    if ((col == COL_IN || col == COL_OUT) && !IsTimecodeEditText(text)) {
        return;
    }
    if (col == COL_REMARK && !text.isEmpty()) {
        text.prepend(QLatin1Char(' '));
    }
    dlg.m_grid.SetText(text);
    // Focus first: hiding the focused editor would hand the focus to the next control.
    dlg.m_grid.setFocus();
    dlg.m_editCell.hide();
    if (col == COL_IN) {
        dlg.CaptureIn(1);
    } else if (col == COL_OUT) {
        dlg.CaptureOut(1);
    }
    dlg.ScrollToRow(static_cast<int>(row), 0);
}

} // namespace

void CTarnwickDlg::OnEnterKey() {
    if (QApplication::focusWidget() == &m_grid) {
        OpenEdit(*this);
    } else {
        CommitEdit(*this);
    }
}

void CTarnwickDlg::ShowCellEdit(const QString& text) {
    const QPoint grid = m_grid.mapTo(m_editCell.parentWidget(), QPoint(0, 0));
    const int cellLeft = static_cast<int>(m_grid.GetCellLeft() / TWIPS_PER_PIXEL);
    const int cellTop = static_cast<int>(m_grid.GetCellTop() / TWIPS_PER_PIXEL);
    const int cellWidth = static_cast<int>(m_grid.GetCellWidth() / TWIPS_PER_PIXEL);
    const int cellHeight = static_cast<int>(m_grid.GetCellHeight() / TWIPS_PER_PIXEL);
    // One pixel larger than the cell on every side, so the box covers the cell's lines.
    m_editCell.setGeometry(grid.x() + cellLeft - 1, grid.y() + cellTop - 1, cellWidth + 2,
                           cellHeight + 2);
    m_editCell.update();
    m_szEditBefore = text;
    m_editCell.setText(text);
    m_editCell.show();
    m_editCell.setFocus();
}

// Runs on every change of the editor's text, also on the changes it makes itself: setting
// the text from here re-enters it, and that run finds a text of 11 characters.
void CTarnwickDlg::OnCellEditChange() {
    const QString text = m_editCell.text();
    const long col = m_grid.GetCol();
    if (col == COL_REMARK) {
        // The list file holds code page 932 only. A character it cannot store is refused as
        // it arrives, where the operator sees it, rather than lost as '?' when saving.
        if (!IsCp932Encodable(InsertedText(m_szEditBefore, text))) {
            const int at = CommonPrefixLength(m_szEditBefore, text);
            m_editCell.setText(m_szEditBefore);
            m_editCell.setCursorPosition(at);
            return;
        }
        m_szEditBefore = text;
        return;
    }
    if (col != COL_IN && col != COL_OUT) {
        m_szEditBefore = text;
        return;
    }
    if (text.size() == TIMECODE_LENGTH) {
        // Typing over a selection keeps the length, so the mask below never sees it; the
        // same test keeps an invalid timecode out of the editor.
        if (IsTimecodeEditText(text)) {
            m_szEditBefore = text;
        } else {
            m_editCell.setText(m_szEditBefore);
            m_editCell.setCursorPosition(m_nCaret);
        }
        return;
    }
    const int s = SelectionStart(m_editCell);
    if (text.size() != TIMECODE_EDIT_LIMIT || s < 1) {
        // A cut, a paste or an overwrite of several characters: the mask works on one typed
        // character at a time, so such a change is undone whole.
        m_editCell.setText(m_szEditBefore);
        m_editCell.setCursorPosition(m_nCaret);
        return;
    }
    // The caret stands after the character just typed; it replaces the one that follows.
    QString overwritten = text;
    overwritten.remove(s, 1);
    if (IsTimecodeEditText(overwritten)) {
        m_editCell.setText(overwritten);
        m_nCaret = s - 1;
        m_editCell.setCursorPosition(m_nCaret);
        StepCaret(overwritten);
    } else {
        QString undone = text;
        undone.remove(s - 1, 1);
        m_editCell.setText(undone);
        m_nCaret = s - 1;
        m_editCell.setCursorPosition(m_nCaret);
    }
}

// One place right, and over a colon, so that the caret always rests before a digit; the
// last frame digit keeps it.
void CTarnwickDlg::StepCaret(const QString& text) {
    int p = SelectionStart(m_editCell);
    if (p < TIMECODE_LENGTH - 1) {
        ++p;
        if (p < text.size() && text.at(p) == QLatin1Char(':')) {
            ++p;
        }
    }
    m_nCaret = p;
    m_editCell.setCursorPosition(p);
}

void CTarnwickDlg::OnCellEditSetFocus() {
    if (m_grid.GetCol() == COL_REMARK) {
        // Where closing shuts the operator out of the input method (see ime.h), a remark box
        // stays open to it and the input method remembers its own on/off state.
        ImeSetOpenStatus(&m_editCell, m_bRemarkImeOpen != 0 || !ImeOperatorCanOpen());
    } else {
        ImeSetOpenStatus(&m_editCell, false);
    }
}

void CTarnwickDlg::OnCellEditKillFocus() {
    const long col = m_grid.GetCol();
    const long row = m_grid.GetRow();
    // A pop-up (the editor's context menu) takes the keyboard for a while without taking the
    // focus from the editor: the edit goes on, so the cursor must stay on its cell. The
    // remark's input-method state is kept for the focus coming back.
    if (QApplication::focusWidget() == &m_editCell) {
        if (col == COL_REMARK) {
            m_bRemarkImeOpen = ImeGetOpenStatus(&m_editCell) ? 1 : 0;
        }
        return;
    }
    if (col == COL_REMARK) {
        m_bRemarkImeOpen = ImeGetOpenStatus(&m_editCell) ? 1 : 0;
        ImeSetOpenStatus(&m_editCell, false);
        // However a remark edit ends, the operator goes on with the next spot's IN.
        m_grid.SetCol(COL_IN);
        if (row < m_grid.GetRows() - 1) {
            m_grid.SetRow(row + 1);
        }
    } else {
        ImeSetOpenStatus(&m_editCell, false);
    }
}

void CTarnwickDlg::OnEnterCell() {
    if (IsShadedColumn(m_grid.GetCol())) {
        m_grid.SetCellBackColor(COLOR_CURRENT_CELL);
    }
}

void CTarnwickDlg::OnLeaveCell() {
    if (IsShadedColumn(m_grid.GetCol())) {
        m_grid.SetCellBackColor(COLOR_PLAIN_CELL);
    }
}

void CTarnwickDlg::OnSmallButton() {
    m_grid.setFocus();
}
