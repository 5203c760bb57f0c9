#include "app/tarnwick_dlg.h"

#include "app/key_codes.h"

#include "list/cell_text.h"
#include "platform/menu_open.h"

#include <QKeyEvent>
#include <QMenuBar>

namespace {

// The key pressed, whatever character it gives: Shift+2 is still the 2 key.
int VirtualKey(const QKeyEvent* e) {
#ifdef Q_OS_WIN
    if (e->nativeVirtualKey() != 0) {
        return static_cast<int>(e->nativeVirtualKey());
    }
#endif
    const int key = e->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int base = (e->modifiers() & Qt::KeypadModifier) ? vk::Numpad0 : '0';
        return base + (key - Qt::Key_0);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return 'A' + (key - Qt::Key_A);
    }
    switch (key) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_F1:
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
        return vk::F1 + (key - Qt::Key_F1);
    case Qt::Key_F10:
        return vk::F10;
    case Qt::Key_Menu:
        return vk::Apps;
    default:
        break;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // A digit-row key that types a symbol (with Shift, or unshifted on layouts such as
    // AZERTY) arrives as that symbol. X and Wayland key codes are the kernel's plus 8, so the
    // row 1 to 9, 0 is 10 to 19 on every PC keyboard, whatever the layout.
    const quint32 code = e->nativeScanCode();
    if (code >= 10 && code <= 18) {
        return '1' + static_cast<int>(code - 10);
    }
    if (code == 19) {
        return '0';
    }
#endif
    return 0;
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

// Sees every key press of the window before the focused control does; true swallows it.
// Shift, Ctrl and auto-repeat are not looked at: a held key acts again with each repeat.
bool CTarnwickDlg::PreTranslateMessage(QObject* target, QKeyEvent* key) {
    // Keys with Alt held are the system's (menu mnemonics, Alt+F4); so are the keys of the
    // menu bar while it has the keyboard.
    if ((key->modifiers() & Qt::AltModifier) || target == MenuBar()) {
        return false;
    }
    const int code = VirtualKey(key);
    const Command* command = CommandForKey(code, key->modifiers());

    if (target != &m_editCell) {
        if (command != nullptr && (command->scope == KeyScope::Window || target == &m_grid)) {
            // A capture takes the frame of the moment the key went down, not of the moment a
            // busy window got to it.
            m_pressNs = m_pressClock.SteadyNsOf(key->timestamp(), SteadyNowNs());
            RunCommand(*command);
            m_pressNs = 0;
            return command->after == KeyAfter::UsedUp;
        }
        for (int i = 0; i < int(Popups().size()); ++i) {
            if (code != 0 && code == Popups()[size_t(i)].key) {
                // Opened after this key has gone on, as typed Alt, Right and Enter would be;
                // the help that F1 could raise opens nothing here.
                QueueMenuOpen(MenuBar(), i);
            }
        }
        return false;
    }

    // The cell editor has the focus.
    if (code == vk::Return) {
        return false; // the dialog's Enter processing commits
    }
    if (code == vk::Escape) {
        // Cancels: the cell is not written. Focus first, so that hiding the editor does not
        // hand the focus to another control on the way.
        m_grid.setFocus();
        m_editCell.hide();
        return false;
    }
    // A remark's editor undoes its own typing; the other editors hold nothing an undo could
    // safely put back, so the keys do nothing there.
    const bool history =
        command != nullptr && (command->id == ID_EDIT_UNDO || command->id == ID_EDIT_REDO);
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
        const int s = m_editCell.hasSelectedText() ? m_editCell.selectionStart()
                                                   : m_editCell.cursorPosition();
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
