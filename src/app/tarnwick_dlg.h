#pragma once

#include "app/resource.h"
#include "grid/msflexgrid.h"
#include "persist/app_settings.h"
#include "persist/grid_file.h"
#include "vtr/vtr_link.h"

#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QKeyEvent;

// Private message posted to the dialog itself: runs the deferred start-up step.
constexpr int WM_USER = 0x0400;
constexpr int WM_DEFERRED_INIT = WM_USER + 2000; // 0x0BD0

constexpr int POLL_TIMER_ID = 1;
constexpr int POLL_INTERVAL_MS = 100;

// List columns and limits.
constexpr int COL_NO = 0;
constexpr int COL_SPNO = 1;
constexpr int COL_IN = 2;
constexpr int COL_OUT = 3;
constexpr int COL_DURATION = 4;
constexpr int COL_REMARK = 5;
constexpr int INITIAL_LIST_ROWS = 30;
constexpr int MAX_LIST_ROWS = 40;
constexpr COLORREF COLOR_NUMBER_CELL = RGB(180, 180, 210);
constexpr COLORREF COLOR_CURRENT_CELL = RGB(210, 210, 210);
constexpr COLORREF COLOR_PLAIN_CELL = RGB(255, 255, 255);

// Kinds of routed events (see routing.cpp, the one table of entry points).
enum class Notify {
    Clicked,
    Command,
    EditSetFocus,
    EditKillFocus,
    EditChange,
    EnterCell,
    LeaveCell
};

// The main window. It owns all run-time state; its handlers are split over the source
// folders by subsystem and reached through the routing table in routing.cpp.
class CTarnwickDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTarnwickDlg(QWidget* parent = nullptr);
    ~CTarnwickDlg() override;

    // Framework overrides.
    void WinHelp() {} // help requests the framework raises on its own open nothing
    void DoDataExchange();
    bool PreTranslateMessage(QObject* target, QKeyEvent* key);
    bool OnInitDialog();
    void OnCancel() {} // Esc and cancel never end the main window

    // Routing: every command and control notification goes through here.
    void Dispatch(int id, Notify code);

    // Start-up, shut-down, about, help (app/).
    void OnSysCommand(int id);
    void OnClose();
    void OnDeferredInit();
    void OnAbout();
    void OnHelpContents();
    void OnDestroy() {}

    // Layout (app/layout.cpp).
    void OnSize(int type, int cx, int cy);
    void ControlReLocate();

    // VTR polling and the VTR menus (app/vtr_polling.cpp).
    void OnTimer();
    void SelectPort(int port, int vtrType);
    void ShowFrameCheck();
    void CheckFrameCheckMenu(int frameCheck, int drop);
    void CheckComMenu(int com);
    void CheckVtrMenu(int vtrType);
    void OnFrameCheck3NonDrop();
    void OnFrameCheck4NonDrop();
    void OnFrameCheck3Drop();
    void OnFrameCheck4Drop();
    void OnCom1();
    void OnCom2();
    void OnCom3();
    void OnCom4();
    void OnCom5();
    void OnVtrVictor();
    void OnVtrSony();

    // Row duration (timecode/row_duration.cpp).
    int CalcDuration(int row, int write);
    void ApplyFrameCheck(int row, int flag);

    // List model (list/list_model.cpp).
    void SetModified(int modified);
    void ScrollToRow(int row, int leftCol);
    void RenumberRows();

    // Capture (list/capture.cpp).
    void OnIn();
    void OnOut();
    void CaptureIn(int keepText);
    void CaptureOut(int keepText);

    // Row insertion and deletion (list/rows.cpp).
    void OnIns();
    void OnDel();
    void InsertRow();
    void DeleteRow();

    // In-place editing (list/cell_edit.cpp).
    void OnEnterKey();
    void ShowCellEdit(const QString& text);
    void OnCellEditChange();
    void StepCaret(const QString& text);
    void OnCellEditSetFocus();
    void OnCellEditKillFocus();
    void OnEnterCell();
    void OnLeaveCell();
    void OnSmallButton();

    // File commands (persist/file_commands.cpp).
    void OnFileOpen();
    void OnFileSaveAs();
    void OnFileSave();

    // Printing (print/print_commands.cpp).
    void OnFilePrint();
    void PrintList();

    // Polling timer: one window timer with id POLL_TIMER_ID; starting it again replaces it.
    int SetTimer(int id, int elapseMs);
    void KillTimer(int timer);

    // Control access by id, for the handlers and for tests.
    QWidget* GetDlgItem(int id) const;
    QAction* MenuItem(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    QWidget* Client() const { return m_client; }
    // Client rectangle position of a control in pixels (as the window reports it).
    QRect ControlRect(int id) const;

    // Members, in the order of the class's data model.
    QString m_szIniPath;
    AppSettings m_settings;
    QString m_szHelpPath;
    int m_bModified = 0;
    CGridFile m_listFile;
    int m_bRemarkImeOpen = 0;
    int m_nCaret = 0;
    int m_nVisibleRows = 0;
    char m_szTimecode[9] = {};
    int m_nPollTimer = 0;
    VtrLink m_vtrLink; // the VTR port, open from SelectPort until the window closes
    QLineEdit m_editCell;
    CMSFlexGrid m_grid;
    QIcon m_hIcon;
    // The cell editor's text as last accepted: what a refused change of a timecode or a
    // remark goes back to.
    QString m_szEditBefore;

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
    void CreateControls();
    void CreateMenu();
    void PostDeferredInit();
    void ApplyWindowSize();
    void CheckOuterSize();
    QRect DialogUnitsToPixels(int x, int y, int cx, int cy) const;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    QLabel* m_vitcLabel = nullptr;
    QLabel* m_tcDisplay = nullptr;
    QLabel* m_frameCheckLabel = nullptr;
    QPushButton* m_btnIn = nullptr;
    QPushButton* m_btnOut = nullptr;
    QPushButton* m_btnIns = nullptr;
    QPushButton* m_btnDel = nullptr;
    QPushButton* m_btnEnter = nullptr;
    QPushButton* m_btnPlus = nullptr;
    QPushButton* m_btnSquare = nullptr;
    QPushButton* m_btnMinus = nullptr;
    QPointer<QWidget> m_helpWindow;
    int m_qtTimerId = 0;   // the Qt timer behind the window timer
    bool m_ending = false; // the shut-down sequence has decided to end the dialog
    // Outer size the deferred step asked for; re-applied once the window manager's frame
    // becomes known, so that a run that changes nothing writes back the size it read.
    QSize m_requestedOuter;
    QMargins m_appliedFrame;
    bool m_outerPending = false;
    // Until the deferred step has run the window has its template size, which is not the
    // operator's and must not overwrite the recorded one.
    bool m_deferredRan = false;
};
