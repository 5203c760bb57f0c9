#pragma once

#include "app/grid_file.h"
#include "app/list_view.h"
#include "app/outer_size.h"
#include "app/resource.h"
#include "formats/list_export.h"
#include "grid/msflexgrid.h"
#include "list/spot_list.h"
#include "persist/app_settings.h"
#include "platform/press_clock.h"
#include "recovery/recovery_keeper.h"
#include "sources/vtr_link.h"

#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>

#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QKeyEvent;

// The first message number the platform leaves to a window's own use (spelled apart from the
// platform's WM_USER macro).
constexpr int PRIVATE_MESSAGE_BASE = 0x0400;
// Private message posted to the dialog itself: runs the deferred start-up step.
constexpr int WM_DEFERRED_INIT = PRIVATE_MESSAGE_BASE + 2000; // 0x0BD0
// Private message: the process is asked to end from outside (a signal, a logout).
constexpr int WM_END_REQUEST = PRIVATE_MESSAGE_BASE + 2001;

constexpr int POLL_TIMER_ID = 1;

constexpr QPoint KEYBOARD_MENU_POINT(-1, -1);
constexpr int POLL_INTERVAL_MS = 100;

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

// The main window. It owns all run-time state; its handlers are split over the files of app/
// by subsystem and reached through the command table in routing.cpp, from which the menus,
// the context menu, the buttons' captions and the keys are built. The list, the files, the
// VTR and the printer are the libraries' business: the handlers do their steps and call them.
class CTarnwickDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTarnwickDlg(QWidget* parent = nullptr);
    ~CTarnwickDlg() override;

    // Routing: every command and control notification goes through here.
    void Dispatch(int id, Notify code);
    // The list: its rows, current cell, history and modified state.
    const SpotList& List() const { return m_list; }
    // Asks the window to end as Exit does, without asking anything (WM_END_REQUEST).
    void PostEndRequest();

    // Controls by id, for the handlers and for tests.
    QWidget* GetDlgItem(int id) const;
    QAction* MenuItem(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    QWidget* Client() const { return m_client; }
    // Client rectangle position of a control in pixels (as the window reports it).
    QRect ControlRect(int id) const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void reject() override;

private:
    // Tests look inside through this.
    friend struct DialogProbe;

    // Stops polling for as long as it lives: no VTR poll may run while a modal box is up.
    // Restart() ends the pause early; an ending program calls Dismiss() and polls no more.
    class PollPause {
    public:
        explicit PollPause(CTarnwickDlg& dlg);
        ~PollPause() { Restart(); }
        PollPause(const PollPause&) = delete;
        PollPause& operator=(const PollPause&) = delete;
        void Restart();
        void Dismiss() { m_paused = false; }

    private:
        CTarnwickDlg& m_dlg;
        bool m_paused = true;
    };

    // Where a command sits: a button, one of the four menus, or the list's context menu.
    enum class Place {
        None,
        Button,
        FileMenu,
        FrameCheckMenu,
        ComMenu,
        HelpMenu,
        ContextMenu,
        FrameRateMenu
    };
    // A key of a command: the key's code (see keyboard.cpp) with the modifiers it needs and
    // those it must not have; others are not looked at.
    struct Key {
        int code = 0;
        Qt::KeyboardModifiers need = Qt::NoModifier;
        Qt::KeyboardModifiers refuse = Qt::NoModifier;
    };
    // Where a command's key acts.
    enum class KeyScope { Window, Grid };
    // What a key does once its command has run: it goes on to the window's own key handling
    // (the dialog's Enter processing among it), or it is used up.
    enum class KeyAfter { GoesOn, UsedUp };
    struct Command {
        int id;
        Place place;
        const char* text; // menu item or button caption, UTF-8; none for a key alone
        bool separatorBefore;
        Key keys[2];
        KeyScope scope;
        KeyAfter after;
        void (CTarnwickDlg::*run)();
        bool (CTarnwickDlg::*enabled)() const;       // null: always
        bool (CTarnwickDlg::*checked)(int id) const; // null: never checked
    };
    // The four menus of the menu bar, in order, with the function key that opens each, and
    // the submenus of the list's context menu, which follow its own items after a separator.
    // The items of a submenu of choices are radio items.
    struct Popup {
        Place place;
        const char* title;
        int key;      // 0: no key
        Place parent; // None: the menu bar
        bool choices;
    };
    static const std::vector<Command>& Commands();
    static const std::vector<Popup>& Popups();
    static const Command* FindCommand(int id);
    const Command* CommandForKey(int code, Qt::KeyboardModifiers mods) const;
    void RunCommand(const Command& command);
    // Enabled and checked states of every menu item, from the table's rules.
    void UpdateCommandStates();

    // Framework overrides.
    void WinHelp() {} // help requests the framework raises on its own open nothing
    void DoDataExchange();
    bool PreTranslateMessage(QObject* target, QKeyEvent* key);
    bool OnInitDialog();
    void OnCancel() {} // Esc and cancel never end the main window

    // Start-up, shut-down, about, help (tarnwick_dlg.cpp).
    void OnSysCommand(int id);
    void OnClose();
    void OnEndRequest();
    void PostDeferredInit();
    void OnDeferredInit();
    void OfferRecovery();
    void OnAbout();
    void OnHelpContents();

    // Layout (layout.cpp).
    void OnSize(int type, int cx, int cy);
    void ControlReLocate();
    QSize MinimumWindowSize() const;

    // VTR polling and the VTR menus (vtr_polling.cpp).
    void OnTimer();
    void ShowSourceRate();
    void SelectPort(int port, int vtrType);
    void ShowFrameCheck();
    bool IsFrameCheckItemChecked(int id) const;
    bool IsComItemChecked(int id) const;
    bool IsVtrItemChecked(int id) const;
    bool IsDropFrameOffered() const;
    void ChooseFrameCheck(int frameCheck, int drop);
    void ChooseCom(int com);
    void ChooseVtr(int vtrType);
    void OnFrameCheck3NonDrop() { ChooseFrameCheck(3, 0); }
    void OnFrameCheck4NonDrop() { ChooseFrameCheck(4, 0); }
    void OnFrameCheck3Drop() { ChooseFrameCheck(3, 1); }
    void OnFrameCheck4Drop() { ChooseFrameCheck(4, 1); }
    void OnCom1() { ChooseCom(1); }
    void OnCom2() { ChooseCom(2); }
    void OnCom3() { ChooseCom(3); }
    void OnCom4() { ChooseCom(4); }
    void OnCom5() { ChooseCom(5); }
    void OnVtrVictor();
    void OnVtrSony();

    // The list's frame rate (frame_rate.cpp).
    void OnFrameRate24() { ChooseFrameRate(24); }
    void OnFrameRate25() { ChooseFrameRate(25); }
    void OnFrameRate30() { ChooseFrameRate(30); }
    void ChooseFrameRate(int fps);
    bool IsFrameRateItemChecked(int id) const;
    CountingRules ListRules() const;

    // The list (list_commands.cpp): the list library does the work; these keep the focus on
    // the grid and scroll the view.
    void SetModified(int modified);
    void OnIn();
    void OnOut();
    // pressNs: when the key went down or the button was pressed, on the steady clock; 0 for now.
    Timecode CaptureTimecode(int keepText, int64_t pressNs) const;
    void CaptureIn(int keepText, int64_t pressNs = 0);
    void CaptureOut(int keepText, int64_t pressNs = 0);
    void OnIns();
    void OnDel();
    void InsertRow();
    void DeleteRow();
    void OnSmallButton();
    void OnEditUndo();
    void OnEditRedo();
    bool CanUndo() const { return m_list.CanUndo(); }
    bool CanRedo() const { return m_list.CanRedo(); }
    void AfterHistoryStep();
    void OnGridContextMenu();
    void OnListMenuKey();
    void OnEnterKeyDown();
    void OnRemarkKey();

    // In-place editing (cell_edit.cpp).
    void OnEnterKey();
    void OpenEdit();
    void CommitEdit();
    void ShowCellEdit(const QString& text);
    void OnCellEditChange();
    void StepCaret(const QString& text);
    void OnCellEditSetFocus();
    void OnCellEditKillFocus();
    void OnEnterCell() { m_view.OnEnterCell(); }
    void OnLeaveCell() { m_view.OnLeaveCell(); }

    // File commands (file_commands.cpp).
    void OnFileOpen();
    void OnFileSaveAs();
    void OnFileSave();

    // Exports for other programs (export_commands.cpp).
    void OnFileExportCsv() { ExportTo(ExportFormat::Csv); }
    void OnFileExportEdl() { ExportTo(ExportFormat::Edl); }
    void OnFileExportXlsx() { ExportTo(ExportFormat::Xlsx); }
    void OnFileExportAle() { ExportTo(ExportFormat::Ale); }
    void OnFileExportMarkerEdl() { ExportTo(ExportFormat::MarkerEdl); }
    void OnFileExportFcpxml() { ExportTo(ExportFormat::Fcpxml); }
    void OnFileExportXmeml() { ExportTo(ExportFormat::Xmeml); }
    void OnFileExportOtio() { ExportTo(ExportFormat::Otio); }
    void ExportTo(ExportFormat format);

    // Lists that come in from other programs (import_commands.cpp).
    void OnFileImport();

    // Printing (print_commands.cpp).
    void OnFilePrint();
    void PrintList();

    // Polling timer: one window timer with id POLL_TIMER_ID; starting it again replaces it.
    int SetTimer(int id, int elapseMs);
    void KillTimer(int timer);

    void CreateControls();
    void CreateMenus();
    void ConnectControls();

    // Members, in the order of the class's data model.
    QString m_szIniPath;
    AppSettings m_settings;
    QString m_szHelpPath;
    CGridFile m_listFile;
    int m_bRemarkImeOpen = 0;
    int m_nCaret = 0;
    Timecode m_timecode; // the last reading; none while the VTR is silent
    int m_nPollTimer = 0;
    VtrLink m_vtrLink;       // the VTR port, open from SelectPort until the window closes
    PressClock m_pressClock; // dates the I and O keys by the platform's stamps
    // When the key or button of the command being run went down (IN or OUT take it), on the
    // steady clock; 0 for now.
    int64_t m_pressNs = 0;
    QLineEdit m_editCell;
    CMSFlexGrid m_grid;
    QIcon m_hIcon;

    // The list, and the grid as its view, which also keeps the visible-row count the layout
    // measures.
    SpotList m_list;
    ListView m_view;
    // The list's recovery copy beside default.ini.
    RecoveryKeeper m_recovery;
    // The cell editor's text as last accepted: what a refused change of a timecode or a
    // remark goes back to.
    QString m_szEditBefore;

    QMenuBar* m_menuBar = nullptr;
    QMenu* m_contextMenu = nullptr;
    std::vector<std::pair<int, QAction*>> m_menuItems; // every item of the table's menus
    // Where the grid's context menu was asked for, on the screen; KEYBOARD_MENU_POINT when
    // from the keyboard, which opens it at the current cell.
    QPoint m_ptContextMenu;
    QWidget* m_client = nullptr;
    QLabel* m_vitcLabel = nullptr;
    QLabel* m_tcDisplay = nullptr;
    QLabel* m_frameCheckLabel = nullptr;
    QString m_rateNote; // the note on a source of another rate, as shown
    QPushButton* m_btnIn = nullptr;
    QPushButton* m_btnOut = nullptr;
    QPushButton* m_btnIns = nullptr;
    QPushButton* m_btnDel = nullptr;
    QPushButton* m_btnEnter = nullptr;
    QPushButton* m_btnPlus = nullptr;
    QPushButton* m_btnSquare = nullptr;
    QPushButton* m_btnMinus = nullptr;
    int m_qtTimerId = 0;   // the Qt timer behind the window timer
    bool m_ending = false; // the shut-down sequence has decided to end the dialog
    OuterSize m_outerSize;
};
