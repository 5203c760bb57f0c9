#pragma once

#include "app/cell_editor.h"
#include "app/command_table.h"
#include "app/list_view.h"
#include "app/main_controls.h"
#include "app/outer_size.h"
#include "app/resource.h"
#include "app/view_commands.h"
#include "commands/screen.h"
#include "commands/session.h"
#include "grid/msflexgrid.h"
#include "platform/press_clock.h"

#include <QDialog>
#include <QEvent>
#include <QIcon>

#include <utility>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QKeyEvent;

// The first message number the platform leaves to a window's own use (spelled apart from the
// platform's WM_USER macro).
constexpr int PRIVATE_MESSAGE_BASE = 0x0400;
// Private message posted to the dialog itself: runs the deferred start-up step.
constexpr int WM_DEFERRED_INIT = PRIVATE_MESSAGE_BASE + 2000; // 0x0BD0
// Private message: the process is asked to end from outside (a signal, a logout).
constexpr int WM_END_REQUEST = PRIVATE_MESSAGE_BASE + 2001;

// Kinds of routed events (see routing.cpp, the one table of entry points).
enum class Notify {
    Clicked,
    Command,
    EditSetFocus,
    EditKillFocus,
    EditChange,
    EnterCell,
    LeaveCell,
    ContextMenu
};

// The main window: a shell. It makes its controls and menus, lays them out, shows what the
// session's commands ask (Screen), and routes every key, click and menu item to its command
// through the one table in routing.cpp. The program's state and logic are the session's.
class CTarnwickDlg : public QDialog, private Screen {
    Q_OBJECT
public:
    explicit CTarnwickDlg(QWidget* parent = nullptr);
    ~CTarnwickDlg() override;

    // Routing: every command and control notification goes through here.
    void Dispatch(int id, Notify code, const Trigger& trigger = {});
    // Asks the window to end as Exit does, without asking anything (WM_END_REQUEST).
    void PostEndRequest();

    // The program behind the window, and the parts of the window that show the list.
    Session& GetSession() { return m_session; }
    const SpotList& List() const { return const_cast<Session&>(m_session).List(); }
    CMSFlexGrid& Grid() { return m_grid; }
    ListView& View() { return m_view; }
    CellEditor& Editor() { return m_editor; }
    const CommandTable& Commands() const { return m_commands; }

    // Controls by id, for the handlers and for tests.
    QWidget* GetDlgItem(int id) const { return m_controls.ById(id); }
    QAction* MenuItem(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    QWidget* Client() const { return m_controls.client; }
    // Client rectangle position of a control in pixels (as the window reports it).
    QRect ControlRect(int id) const;
    // The least size inside the frame at which the window can be used.
    QSize MinimumWindowSize() const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void reject() override;
    // A video file dropped onto the window becomes the source.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // Screen: what the commands ask of the window.
    QWidget* Owner() override { return this; }
    void FocusList() override { m_grid.setFocus(); }
    void ScrollToRow(long row) override { m_view.ScrollToRow(int(row), 0); }
    void ShowFromTop() override { m_grid.SetTopRow(1); }
    void ListOpened() override { PostDeferredInit(); }
    void ShowTimecode(const QString& text, const QString& caption) override;
    void ShowFrameCheck(const QString& text) override;
    void ShowNote(StatusNote note, const QString& text, const QString& detail) override;
    QVector<int> ColumnWidths() const override;
    void CommitEdit() override { m_editor.CommitEdit(); }
    bool TakeKey(QKeyEvent* key) override;
    void EndWindow() override;

    // Routing (routing.cpp): the command table, and the keyboard hook (keyboard.cpp).
    void BuildCommands();
    void RunCommand(const Command& command, const Trigger& trigger);
    void UpdateCommandStates();
    bool PreTranslateMessage(QObject* target, QKeyEvent* key);

    // Start-up (tarnwick_dlg.cpp).
    void CreateMenus();
    void RetranslateUi();
    void ShowAboutInSystemMenu();
    void SwitchLanguage();
    void AfterMenuClosed();
    void ConnectControls();
    bool OnInitDialog();
    void OnCancel() {} // Esc and cancel never end the main window
    void PostDeferredInit();
    void OnDeferredInit();

    // Layout (layout.cpp).
    void OnSize(int type, int cx, int cy);
    void ControlReLocate();
    void FitRemarkColumn();
    void OnColumnSized(int col);

    Session m_session;
    CMSFlexGrid m_grid;
    ListView m_view; // the grid as the list's view
    CellEditor m_editor;
    ViewCommands m_viewCommands;
    MainControls m_controls;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    CommandTable m_commands;
    std::vector<std::pair<int, QAction*>> m_menuItems; // every item of the table's menus
    std::vector<std::pair<const Popup*, QMenu*>> m_popupMenus;
    PressClock m_pressClock; // dates the keys by the platform's stamps
    // Where the grid's context menu was asked for, on the screen; KEYBOARD_MENU_POINT when
    // from the keyboard, which opens it at the current cell.
    QPoint m_ptContextMenu = KEYBOARD_MENU_POINT;
    QIcon m_hIcon;
    // The REMARK column's own width in twips, as stored; it is shown wider when the window
    // has room.
    long m_remarkTwips = 0;
    bool m_fittingRemark = false;
    OuterSize m_outerSize;
};
