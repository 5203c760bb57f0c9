#include "app/cell_editor.h"

#include "app/key_codes.h"
#include "app/list_view.h"
#include "commands/list_commands.h"
#include "commands/source_commands.h"
#include "grid/msflexgrid.h"
#include "list/cell_text.h"
#include "platform/codepage.h"
#include "platform/ime.h"

#include <QApplication>
#include <QSignalBlocker>

#include <limits>

namespace {

int SelectionStart(const QLineEdit& edit) {
    return edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
}

bool IsDigitKey(int code) {
    return code >= '0' && code <= '9';
}

bool IsLetterKey(int code) {
    return code >= 'A' && code <= 'Z';
}

bool IsKeypadDigit(int code) {
    return code >= vk::Numpad0 && code <= vk::Numpad0 + 9;
}

} // namespace

CellEditor::CellEditor(SpotList& list, CMSFlexGrid& grid, ListView& view,
                       const SourceCommands& source, ListCommands& commands)
    : m_list(list), m_grid(grid), m_view(view), m_source(source), m_commands(commands) {}

void CellEditor::OnEnterKey() {
    if (QApplication::focusWidget() == &m_grid) {
        OpenEdit();
    } else {
        CommitEdit();
    }
}

void CellEditor::OpenEdit() {
    const long col = m_list.Col();
    int caret = 0;
    // The box's own limit cuts whatever it holds, so it bounds only the timecode, which always
    // opens whole; the limits of SP No. and REMARK stop typing in OnCellEditChange instead.
    int maxLength = std::numeric_limits<int>::max();
    switch (col) {
    case COL_SPNO:
    case COL_REMARK:
        break;
    case COL_IN:
    case COL_OUT:
        caret = TIMECODE_EDIT_CARET;
        maxLength = TIMECODE_EDIT_LIMIT;
        break;
    default:
        return; // No. and DURATION are never edited
    }
    // The pre-filled timecode of an empty IN or OUT stays in the cell even if the edit is then
    // cancelled.
    const QString timecode = CaptureCellText(m_source.Reading());
    QString text = m_list.EditStartText(m_source.Reading());
    if ((col == COL_IN || col == COL_OUT) && !IsTimecodeEditText(text, m_list.FrameRate())) {
        // A damaged cell (a hand-edited list file) could never be typed into a valid timecode
        // by the mask; the edit starts from the current one instead, and the cell keeps its
        // text unless the edit is committed.
        text = timecode;
    }
    if (col == COL_SPNO || col == COL_REMARK) {
        caret = static_cast<int>(text.size());
    }
    {
        // A shorter limit cuts the previous edit's text, which is no change to handle.
        const QSignalBlocker quiet(&m_editCell);
        m_editCell.setMaxLength(maxLength);
    }
    m_nCaret = caret;
    ShowCellEdit(text);
    m_editCell.setCursorPosition(m_nCaret);
}

void CellEditor::CommitEdit() {
    // Read before the focus change below, whose handler moves the cursor after a remark.
    const long col = m_list.Col();
    const long row = m_list.Row();
    if (col == COL_NO || col == COL_DURATION) {
        return;
    }
    // With no edit open there is nothing to commit: the hidden editor still holds the text
    // of the last edit, which must not land in whatever cell is current now.
    if (m_editCell.isHidden()) {
        return;
    }
    const QString text = m_editCell.text();
    // An edit left open over another column (see OnCellEditKillFocus) may hold anything; an
    // IN or OUT cell takes nothing but a valid timecode, so such a commit stays open.
    if ((col == COL_IN || col == COL_OUT) && !IsTimecodeEditText(text, m_list.FrameRate())) {
        return;
    }
    // The cell, the cursor move after a remark and the capture follow-up are one change.
    SpotList::Change change(m_list, ListChange::Edit);
    m_list.WriteEditedCell(text);
    // Focus first: hiding the focused editor would hand the focus to the next control.
    m_grid.setFocus();
    m_editCell.hide();
    if (col == COL_IN) {
        m_commands.CaptureIn(true);
    } else if (col == COL_OUT) {
        m_commands.CaptureOut(true);
    }
    m_view.ScrollToRow(static_cast<int>(row), 0);
}

void CellEditor::ShowCellEdit(const QString& text) {
    const QPoint grid = m_grid.mapTo(m_editCell.parentWidget(), QPoint(0, 0));
    const int cellLeft = static_cast<int>(m_grid.GetCellLeft() / CMSFlexGrid::TWIPS_PER_PIXEL);
    const int cellTop = static_cast<int>(m_grid.GetCellTop() / CMSFlexGrid::TWIPS_PER_PIXEL);
    const int cellWidth = static_cast<int>(m_grid.GetCellWidth() / CMSFlexGrid::TWIPS_PER_PIXEL);
    const int cellHeight = static_cast<int>(m_grid.GetCellHeight() / CMSFlexGrid::TWIPS_PER_PIXEL);
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
void CellEditor::OnCellEditChange() {
    const QString text = m_editCell.text();
    const long col = m_list.Col();
    if (col == COL_SPNO || col == COL_REMARK) {
        int caret = 0;
        QString kept = LimitEditChange(m_szEditBefore, text,
                                       col == COL_SPNO ? SPNO_LIMIT : REMARK_LIMIT, &caret);
        // The list file holds code page 932 only. A character it cannot store is refused as
        // it arrives, where the operator sees it, rather than lost as '?' when saving.
        if (col == COL_REMARK && !IsCp932Encodable(InsertedText(m_szEditBefore, kept))) {
            caret = CommonPrefixLength(m_szEditBefore, kept);
            kept = m_szEditBefore;
        }
        // Accepted first: setting the text re-enters here and must find nothing to refuse.
        m_szEditBefore = kept;
        if (kept != text) {
            m_editCell.setText(kept);
            m_editCell.setCursorPosition(caret);
        }
        return;
    }
    if (col != COL_IN && col != COL_OUT) {
        m_szEditBefore = text;
        return;
    }
    if (text.size() == TIMECODE_LENGTH) {
        // Typing over a selection keeps the length, so the mask below never sees it; the
        // same test keeps an invalid timecode out of the editor.
        if (IsTimecodeEditText(text, m_list.FrameRate())) {
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
    if (IsTimecodeEditText(overwritten, m_list.FrameRate())) {
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
void CellEditor::StepCaret(const QString& text) {
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

void CellEditor::OnCellEditSetFocus() {
    if (m_list.Col() == COL_REMARK) {
        // Where closing shuts the operator out of the input method (see ime.h), a remark box
        // stays open to it and the input method remembers its own on/off state.
        ImeSetOpenStatus(&m_editCell, m_bRemarkImeOpen != 0 || !ImeOperatorCanOpen());
    } else {
        ImeSetOpenStatus(&m_editCell, false);
    }
}

void CellEditor::OnCellEditKillFocus() {
    const long col = m_list.Col();
    const long row = m_list.Row();
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
        m_list.SetCurrentCell(row < m_list.RowCount() ? row + 1 : row, COL_IN);
    } else {
        ImeSetOpenStatus(&m_editCell, false);
    }
}

void CellEditor::OnRemarkKey() {
    m_list.MoveToSpotRemark();
    OnEnterKey();
    m_commands.SetModified(1);
}

void CellEditor::Cancel() {
    // Focus first, so that hiding the editor does not hand the focus to another control on
    // the way.
    m_grid.setFocus();
    m_editCell.hide();
}

bool CellEditor::FilterKey(int code, bool history) {
    if (code == vk::Return) {
        return false; // the dialog's Enter processing commits
    }
    if (code == vk::Escape) {
        Cancel();
        return false;
    }
    // A remark's editor undoes its own typing; the other editors hold nothing an undo could
    // safely put back, so the keys do nothing there.
    if (history && m_list.Col() != COL_REMARK) {
        return true;
    }
    switch (m_list.Col()) {
    case COL_SPNO:
        return !(IsDigitKey(code) || IsLetterKey(code) || IsKeypadDigit(code) || code == vk::Left ||
                 code == vk::Right || code == vk::Delete || code == vk::Back);
    case COL_IN:
    case COL_OUT: {
        if (IsDigitKey(code) || IsKeypadDigit(code)) {
            return false;
        }
        if (code != vk::Left && code != vk::Right) {
            return true;
        }
        // The caret is put where the editor's own one-character move, which follows, takes
        // it past a colon: it always rests before a digit and never beyond the last one.
        const int s = SelectionStart(m_editCell);
        const int p = TimecodeCaretBeforeMove(m_editCell.text(), s, code == vk::Left);
        m_nCaret = p;
        m_editCell.setCursorPosition(p);
        return false;
    }
    case COL_REMARK:
        return false;
    default:
        return true; // No. and DURATION are never edited
    }
}
