#include "app/tarnwick_dlg.h"

#include "app/key_codes.h"

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
    case Qt::Key_Space:
        return vk::Space;
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
    const Command* command = m_commands.ForKey(code, key->modifiers());

    if (target == &m_editor.Edit()) {
        const bool history =
            command != nullptr && (command->id == ID_EDIT_UNDO || command->id == ID_EDIT_REDO);
        return m_editor.FilterKey(code, history);
    }
    if (command != nullptr && (command->scope == KeyScope::Window || target == &m_grid)) {
        // A capture takes the frame of the moment the key went down, not of the moment a
        // busy window got to it.
        RunCommand(*command,
                   Trigger{code, m_pressClock.SteadyNsOf(key->timestamp(), SteadyNowNs())});
        return command->after == KeyAfter::UsedUp;
    }
    for (int i = 0; i < int(Popups().size()); ++i) {
        if (code != 0 && code == Popups()[size_t(i)].key) {
            // Opened after this key has gone on, as typed Alt, Right and Enter would be; the
            // help that F1 could raise opens nothing here.
            QueueMenuOpen(MenuBar(), i);
        }
    }
    return false;
}
