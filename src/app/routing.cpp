// Every entry point of the main window: the messages it handles and the table from command
// ids and control notifications to handlers. Later features add rows here.
#include "app/tarnwick_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QWindow>

void CTarnwickDlg::Dispatch(int id, Notify code) {
    struct Route {
        int id;
        Notify code;
        void (CTarnwickDlg::*handler)();
    };
    // clang-format off
    static const Route kRoutes[] = {
        // File menu
        {ID_FILE_OPEN,            Notify::Command,       &CTarnwickDlg::OnFileOpen},
        {ID_FILE_SAVEAS,          Notify::Command,       &CTarnwickDlg::OnFileSaveAs},
        {ID_FILE_SAVE,            Notify::Command,       &CTarnwickDlg::OnFileSave},
        {ID_FILE_PRINT,           Notify::Command,       &CTarnwickDlg::OnFilePrint},
        {ID_FILE_EXIT,            Notify::Command,       &CTarnwickDlg::OnClose},
        // Frame-check menu
        {ID_FRAMECHECK_3_NONDROP, Notify::Command,       &CTarnwickDlg::OnFrameCheck3NonDrop},
        {ID_FRAMECHECK_4_NONDROP, Notify::Command,       &CTarnwickDlg::OnFrameCheck4NonDrop},
        {ID_FRAMECHECK_3_DROP,    Notify::Command,       &CTarnwickDlg::OnFrameCheck3Drop},
        {ID_FRAMECHECK_4_DROP,    Notify::Command,       &CTarnwickDlg::OnFrameCheck4Drop},
        // Communication menu
        {ID_COM1,                 Notify::Command,       &CTarnwickDlg::OnCom1},
        {ID_COM2,                 Notify::Command,       &CTarnwickDlg::OnCom2},
        {ID_COM3,                 Notify::Command,       &CTarnwickDlg::OnCom3},
        {ID_COM4,                 Notify::Command,       &CTarnwickDlg::OnCom4},
        {ID_COM5,                 Notify::Command,       &CTarnwickDlg::OnCom5},
        {ID_VTR_VICTOR,           Notify::Command,       &CTarnwickDlg::OnVtrVictor},
        {ID_VTR_SONY,             Notify::Command,       &CTarnwickDlg::OnVtrSony},
        // Help menu
        {ID_HELP_CONTENTS,        Notify::Command,       &CTarnwickDlg::OnHelpContents},
        {ID_HELP_ABOUT,           Notify::Command,       &CTarnwickDlg::OnAbout},
        // The grid's context menu
        {ID_EDIT_UNDO,            Notify::Command,       &CTarnwickDlg::OnEditUndo},
        {ID_EDIT_REDO,            Notify::Command,       &CTarnwickDlg::OnEditRedo},
        {ID_FILE_EXPORT_CSV,      Notify::Command,       &CTarnwickDlg::OnFileExportCsv},
        {ID_FILE_EXPORT_EDL,      Notify::Command,       &CTarnwickDlg::OnFileExportEdl},
        // Buttons
        {IDC_IN,                  Notify::Clicked,       &CTarnwickDlg::OnIn},
        {IDC_OUT,                 Notify::Clicked,       &CTarnwickDlg::OnOut},
        {IDC_INS,                 Notify::Clicked,       &CTarnwickDlg::OnIns},
        {IDC_DEL,                 Notify::Clicked,       &CTarnwickDlg::OnDel},
        {IDC_ENTER,               Notify::Clicked,       &CTarnwickDlg::OnEnterKey},
        {IDC_BTN_PLUS,            Notify::Clicked,       &CTarnwickDlg::OnSmallButton},
        {IDC_BTN_SQUARE,          Notify::Clicked,       &CTarnwickDlg::OnSmallButton},
        {IDC_BTN_MINUS,           Notify::Clicked,       &CTarnwickDlg::OnSmallButton},
        // Cell editor
        {IDC_CELL_EDIT,           Notify::EditSetFocus,  &CTarnwickDlg::OnCellEditSetFocus},
        {IDC_CELL_EDIT,           Notify::EditKillFocus, &CTarnwickDlg::OnCellEditKillFocus},
        {IDC_CELL_EDIT,           Notify::EditChange,    &CTarnwickDlg::OnCellEditChange},
        // Grid
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
