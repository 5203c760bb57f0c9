// Every entry point of the main window: the command table, the notifications of its controls,
// and the messages it handles. A new command is one row of the table.
#include "app/tarnwick_dlg.h"

#include "app/key_codes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QWindow>

namespace {

constexpr Qt::KeyboardModifiers NONE = Qt::NoModifier;
constexpr Qt::KeyboardModifiers CTRL = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers SHIFT = Qt::ShiftModifier;

} // namespace

// Every command of the window, once: its id, where it sits and its text, its keys, what it
// runs, and when it is enabled and checked. The menus, the context menu, the buttons'
// captions, the keys and the routing are all built from this table. A key acts with the grid
// or a button focused, never in the cell editor; Shift, Ctrl and auto-repeat are not looked
// at unless the key names them, so a held key acts again with each repeat.
const std::vector<CTarnwickDlg::Command>& CTarnwickDlg::Commands() {
    using D = CTarnwickDlg;
    constexpr Place FILE = Place::FileMenu, FRAME = Place::FrameCheckMenu, COM = Place::ComMenu,
                    HELP = Place::HelpMenu, CONTEXT = Place::ContextMenu, BUTTON = Place::Button,
                    RATE = Place::FrameRateMenu, NO_PLACE = Place::None;
    constexpr KeyScope WINDOW = KeyScope::Window, GRID = KeyScope::Grid;
    constexpr KeyAfter ON = KeyAfter::GoesOn, USED = KeyAfter::UsedUp;
    // clang-format off
    static const std::vector<Command> commands = {
        // id                       place    text                         sep    keys                                      scope   key    run                          enabled        checked
        {ID_FILE_OPEN,              FILE,    "開く",                      false, {},                                       WINDOW, ON,   &D::OnFileOpen,              nullptr,       nullptr},
        {ID_FILE_SAVEAS,            FILE,    "名前を付けて保存",          false, {},                                       WINDOW, ON,   &D::OnFileSaveAs,            nullptr,       nullptr},
        {ID_FILE_SAVE,              FILE,    "上書き保存",                false, {},                                       WINDOW, ON,   &D::OnFileSave,              nullptr,       nullptr},
        {ID_FILE_PRINT,             FILE,    "印刷",                      false, {},                                       WINDOW, ON,   &D::OnFilePrint,             nullptr,       nullptr},
        {ID_FILE_EXIT,              FILE,    "終了",                      false, {},                                       WINDOW, ON,   &D::OnClose,                 nullptr,       nullptr},
        {ID_FRAMECHECK_3_NONDROP,   FRAME,   "3 ﾌﾚｰﾑ (NonDrop)",          false, {},                                       WINDOW, ON,   &D::OnFrameCheck3NonDrop,    nullptr,       &D::IsFrameCheckItemChecked},
        {ID_FRAMECHECK_4_NONDROP,   FRAME,   "4 ﾌﾚｰﾑ (NonDrop)",          false, {},                                       WINDOW, ON,   &D::OnFrameCheck4NonDrop,    nullptr,       &D::IsFrameCheckItemChecked},
        {ID_FRAMECHECK_3_DROP,      FRAME,   "3 ﾌﾚｰﾑ (Drop)",             false, {},                                       WINDOW, ON,   &D::OnFrameCheck3Drop,       &D::IsDropFrameOffered, &D::IsFrameCheckItemChecked},
        {ID_FRAMECHECK_4_DROP,      FRAME,   "4 ﾌﾚｰﾑ (Drop)",             false, {},                                       WINDOW, ON,   &D::OnFrameCheck4Drop,       &D::IsDropFrameOffered, &D::IsFrameCheckItemChecked},
        {ID_COM1,                   COM,     "COM1",                      false, {},                                       WINDOW, ON,   &D::OnCom1,                  nullptr,       &D::IsComItemChecked},
        {ID_COM2,                   COM,     "COM2",                      false, {},                                       WINDOW, ON,   &D::OnCom2,                  nullptr,       &D::IsComItemChecked},
        {ID_COM3,                   COM,     "COM3",                      false, {},                                       WINDOW, ON,   &D::OnCom3,                  nullptr,       &D::IsComItemChecked},
        {ID_COM4,                   COM,     "COM4",                      false, {},                                       WINDOW, ON,   &D::OnCom4,                  nullptr,       &D::IsComItemChecked},
        {ID_COM5,                   COM,     "COM5",                      false, {},                                       WINDOW, ON,   &D::OnCom5,                  nullptr,       &D::IsComItemChecked},
        {ID_VTR_VICTOR,             COM,     "Victor SA-K37 Control",     true,  {},                                       WINDOW, ON,   &D::OnVtrVictor,             nullptr,       &D::IsVtrItemChecked},
        {ID_VTR_SONY,               COM,     "Sony 9 pin Control",        false, {},                                       WINDOW, ON,   &D::OnVtrSony,               nullptr,       &D::IsVtrItemChecked},
        {ID_HELP_CONTENTS,          HELP,    "ヘルプ",                    false, {},                                       WINDOW, ON,   &D::OnHelpContents,          nullptr,       nullptr},
        {ID_HELP_ABOUT,             HELP,    "バージョン情報",            false, {},                                       WINDOW, ON,   &D::OnAbout,                 nullptr,       nullptr},
        {ID_EDIT_UNDO,              CONTEXT, "元に戻す",                  false, {{'Z', CTRL, SHIFT}},                     WINDOW, USED, &D::OnEditUndo,              &D::CanUndo,   nullptr},
        {ID_EDIT_REDO,              CONTEXT, "やり直し",                  false, {{'Y', CTRL, NONE}, {'Z', CTRL | SHIFT, NONE}}, WINDOW, USED, &D::OnEditRedo,  &D::CanRedo,   nullptr},
        {ID_FILE_EXPORT_CSV,        CONTEXT, "CSV形式で書き出し...",      true,  {},                                       WINDOW, ON,   &D::OnFileExportCsv,         nullptr,       nullptr},
        {ID_FILE_EXPORT_EDL,        CONTEXT, "EDL形式で書き出し...",      false, {},                                       WINDOW, ON,   &D::OnFileExportEdl,         nullptr,       nullptr},
        {ID_FILE_EXPORT_XLSX,       CONTEXT, "Excel形式で書き出し...",    false, {},                                       WINDOW, ON,   &D::OnFileExportXlsx,        nullptr,       nullptr},
        {ID_FILE_EXPORT_ALE,        CONTEXT, "ALE形式(ログ)で書き出し...", false, {},                                      WINDOW, ON,   &D::OnFileExportAle,         nullptr,       nullptr},
        {ID_FILE_EXPORT_MARKER_EDL, CONTEXT, "マーカーをEDLで書き出し...", false, {},                                      WINDOW, ON,   &D::OnFileExportMarkerEdl,   nullptr,       nullptr},
        {ID_FILE_EXPORT_FCPXML,     CONTEXT, "マーカーをFCPXMLで書き出し...", false, {},                                   WINDOW, ON,   &D::OnFileExportFcpxml,      nullptr,       nullptr},
        {ID_FILE_EXPORT_XMEML,      CONTEXT, "マーカーをFCP7 XMLで書き出し...", false, {},                                 WINDOW, ON,   &D::OnFileExportXmeml,       nullptr,       nullptr},
        {ID_FILE_EXPORT_OTIO,       CONTEXT, "マーカーをOTIOで書き出し...", false, {},                                     WINDOW, ON,   &D::OnFileExportOtio,        nullptr,       nullptr},
        {ID_FILE_IMPORT,            CONTEXT, "読み込み...",               true,  {},                                       WINDOW, ON,   &D::OnFileImport,            nullptr,       nullptr},
        {ID_FRAMERATE_24,           RATE,    "24",                        false, {},                                       WINDOW, ON,   &D::OnFrameRate24,           nullptr,       &D::IsFrameRateItemChecked},
        {ID_FRAMERATE_25,           RATE,    "25",                        false, {},                                       WINDOW, ON,   &D::OnFrameRate25,           nullptr,       &D::IsFrameRateItemChecked},
        {ID_FRAMERATE_30,           RATE,    "30",                        false, {},                                       WINDOW, ON,   &D::OnFrameRate30,           nullptr,       &D::IsFrameRateItemChecked},
        {IDC_IN,                    BUTTON,  "IN",                        false, {{'I'}},                                  WINDOW, ON,   &D::OnIn,                    nullptr,       nullptr},
        {IDC_OUT,                   BUTTON,  "OUT",                       false, {{'O'}},                                  WINDOW, ON,   &D::OnOut,                   nullptr,       nullptr},
        {IDC_INS,                   BUTTON,  "INS",                       false, {{vk::Insert}},                          WINDOW, ON,   &D::OnIns,                   nullptr,       nullptr},
        {IDC_DEL,                   BUTTON,  "DEL",                       false, {{vk::Delete}},                          WINDOW, ON,   &D::OnDel,                   nullptr,       nullptr},
        {IDC_ENTER,                 BUTTON,  "標準のボタン",              false, {},                                       WINDOW, ON,   &D::OnEnterKey,              nullptr,       nullptr},
        {IDC_BTN_PLUS,              BUTTON,  "＋",                        false, {},                                       WINDOW, ON,   &D::OnSmallButton,           nullptr,       nullptr},
        {IDC_BTN_SQUARE,            BUTTON,  "■",                         false, {},                                       WINDOW, ON,   &D::OnSmallButton,           nullptr,       nullptr},
        {IDC_BTN_MINUS,             BUTTON,  "－",                        false, {},                                       WINDOW, ON,   &D::OnSmallButton,           nullptr,       nullptr},
        {ID_LIST_ENTER_KEY,         NO_PLACE, nullptr,                    false, {{vk::Return}},                          WINDOW, ON,   &D::OnEnterKeyDown,          nullptr,       nullptr},
        {ID_LIST_REMARK_KEY,        NO_PLACE, nullptr,                    false, {{'R'}},                                  WINDOW, ON,   &D::OnRemarkKey,             nullptr,       nullptr},
        {ID_LIST_MENU_KEY,          NO_PLACE, nullptr,                    false, {{vk::Apps}, {vk::F10, SHIFT, NONE}},   GRID,   USED, &D::OnListMenuKey,           nullptr,       nullptr},
    };
    // clang-format on
    return commands;
}

// The menu bar's pop-ups and the context menu's submenus. The pop-ups' captions carry no
// mnemonic: the bracketed function key opens each, at its first item.
const std::vector<CTarnwickDlg::Popup>& CTarnwickDlg::Popups() {
    static const std::vector<Popup> popups = {
        {Place::FileMenu, "ﾌｧｲﾙ(F1)", vk::F1, Place::None, false},
        {Place::FrameCheckMenu, "ﾌﾚｰﾑﾁｪｯｸ(F2)", vk::F1 + 1, Place::None, false},
        {Place::ComMenu, "通信(F3)", vk::F1 + 2, Place::None, false},
        {Place::HelpMenu, "ヘルプ(F4)", vk::F1 + 3, Place::None, false},
        {Place::FrameRateMenu, "フレームレート", 0, Place::ContextMenu, true},
    };
    return popups;
}

const CTarnwickDlg::Command* CTarnwickDlg::FindCommand(int id) {
    for (const Command& command : Commands()) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

const CTarnwickDlg::Command* CTarnwickDlg::CommandForKey(int code,
                                                         Qt::KeyboardModifiers mods) const {
    if (code == 0) {
        return nullptr;
    }
    for (const Command& command : Commands()) {
        for (const Key& k : command.keys) {
            if (k.code == code && (mods & k.need) == k.need && !(mods & k.refuse)) {
                return &command;
            }
        }
    }
    return nullptr;
}

void CTarnwickDlg::RunCommand(const Command& command) {
    if (command.enabled != nullptr && !(this->*command.enabled)()) {
        return;
    }
    (this->*command.run)();
    if (!m_ending) {
        UpdateCommandStates();
    }
}

void CTarnwickDlg::UpdateCommandStates() {
    for (const auto& [id, item] : m_menuItems) {
        const Command* command = FindCommand(id);
        item->setEnabled(command->enabled == nullptr || (this->*command->enabled)());
        if (command->checked != nullptr) {
            item->setChecked((this->*command->checked)(id));
        }
    }
}

void CTarnwickDlg::Dispatch(int id, Notify code) {
    if (code == Notify::Command || code == Notify::Clicked) {
        if (const Command* command = FindCommand(id)) {
            RunCommand(*command);
        }
        return;
    }
    // The notifications of the cell editor and the grid.
    struct Route {
        int id;
        Notify code;
        void (CTarnwickDlg::*handler)();
    };
    // clang-format off
    static const Route kRoutes[] = {
        {IDC_CELL_EDIT,           Notify::EditSetFocus,  &CTarnwickDlg::OnCellEditSetFocus},
        {IDC_CELL_EDIT,           Notify::EditKillFocus, &CTarnwickDlg::OnCellEditKillFocus},
        {IDC_CELL_EDIT,           Notify::EditChange,    &CTarnwickDlg::OnCellEditChange},
        {IDC_GRID,                Notify::EnterCell,     &CTarnwickDlg::OnEnterCell},
        {IDC_GRID,                Notify::LeaveCell,     &CTarnwickDlg::OnLeaveCell},
        {IDC_GRID,                Notify::ContextMenu,   &CTarnwickDlg::OnGridContextMenu},
    };
    // clang-format on
    for (const Route& route : kRoutes) {
        if (route.id == id && route.code == code) {
            (this->*route.handler)();
            return;
        }
    }
}

// Window messages.
bool CTarnwickDlg::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(WM_DEFERRED_INIT)) {
        OnDeferredInit();
        return true;
    }
    if (e->type() == static_cast<QEvent::Type>(WM_END_REQUEST)) {
        OnEndRequest();
        return true;
    }
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) {
        m_outerSize.FrameMayHaveChanged();
    }
    return QDialog::event(e);
}

void CTarnwickDlg::timerEvent(QTimerEvent* e) {
    if (e->timerId() == m_qtTimerId) {
        OnTimer(); // the one window timer; its id is not looked at
        return;
    }
    QDialog::timerEvent(e);
}

void CTarnwickDlg::closeEvent(QCloseEvent* e) {
    // The close box, Alt+F4 and the system menu's Close all run the shut-down sequence,
    // which decides itself whether the window ends.
    if (m_ending) {
        e->accept();
        return;
    }
    e->ignore();
    OnClose();
}

void CTarnwickDlg::reject() {
    OnCancel();
}

void CTarnwickDlg::keyPressEvent(QKeyEvent* e) {
    // The dialog's own key processing, after PreTranslateMessage: Enter clicks the focused
    // push button, or else the hidden default button; Esc cancels, which ends nothing.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            button && button->window() == this && button->isVisible()) {
            button->click();
        } else {
            Dispatch(IDC_ENTER, Notify::Clicked);
        }
        e->accept();
        return;
    case Qt::Key_Escape:
        OnCancel();
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

bool CTarnwickDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == &m_editCell) {
        if (e->type() == QEvent::FocusIn) {
            Dispatch(IDC_CELL_EDIT, Notify::EditSetFocus);
        } else if (e->type() == QEvent::FocusOut) {
            Dispatch(IDC_CELL_EDIT, Notify::EditKillFocus);
        }
    }
    if (e->type() == QEvent::ContextMenu && (watched == &m_grid || watched == m_grid.viewport())) {
        // A right-click, or the platform's own context-menu key.
        const auto* request = static_cast<QContextMenuEvent*>(e);
        m_ptContextMenu = request->reason() == QContextMenuEvent::Mouse ? request->globalPos()
                                                                        : KEYBOARD_MENU_POINT;
        Dispatch(IDC_GRID, Notify::ContextMenu);
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        // Only key presses addressed to this window or its children, once each: the
        // application-wide filter sees the event again at every parent it propagates to, so
        // only the focus widget's (or, with no focus, the window's own) counts.
        const bool addressed = w && w->window() == this && (w == focus || (!focus && w == this));
        if (addressed && PreTranslateMessage(watched, static_cast<QKeyEvent*>(e))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void CTarnwickDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    const int type = isMinimized() ? 1 : 0;
    OnSize(type, m_client->width(), m_client->height());
}

void CTarnwickDlg::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    m_outerSize.FrameMayHaveChanged();
}

void CTarnwickDlg::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isMinimized()) {
        OnSize(0, m_client->width(), m_client->height());
    }
}
