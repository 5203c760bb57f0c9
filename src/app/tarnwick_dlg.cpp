#include "app/tarnwick_dlg.h"

#include "app/about_dlg.h"
#include "app/dialog_units.h"
#include "app/status_notes.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/system_menu.h"
#include "platform/ui_font.h"
#include "sources/vtr_link.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QWindow>

namespace {

// Template rectangles of the main dialog's controls, in dialog units.
struct ControlTemplate {
    int id;
    int x, y, cx, cy;
};
constexpr ControlTemplate kTemplate[] = {
    {IDC_VITC_LABEL, 2, 7, 16, 8},
    {IDC_TC_DISPLAY, 20, 5, 51, 12},
    {IDC_IN, 25, 255, 22, 15},
    {IDC_OUT, 48, 255, 22, 15},
    {IDC_INS, 86, 255, 22, 15},
    {IDC_DEL, 109, 255, 22, 15},
    {IDC_ENTER, 231, 16, 53, 14},
    {IDC_CELL_EDIT, 141, 257, 35, 14},
    {IDC_FRAMECHECK_LABEL, 88, 7, 87, 8},
    {IDC_BTN_PLUS, 205, 1, 13, 14},
    {IDC_BTN_SQUARE, 191, 1, 13, 14},
    {IDC_BTN_MINUS, 177, 1, 13, 14},
    {IDC_GRID, 0, 24, 223, 113},
};
constexpr int kDialogWidthDu = 366;
constexpr int kDialogHeightDu = 278;

QPushButton* MakeButton(QWidget* parent, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false); // Enter is routed by the dialog itself
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}
} // namespace

CTarnwickDlg::CTarnwickDlg(QWidget* parent)
    : QDialog(parent), m_list([this] { return ListRules(); }), m_view(m_list, m_grid),
      m_recovery([this] {
          return RecoveryState{m_list.Rows(), m_listFile.GetPath(), m_list.IsModified(),
                               m_list.FrameRate()};
      }),
      m_outerSize(*this) {
    m_hIcon = QIcon(QStringLiteral(":/res/tarnwick.xpm"));
    // A top-level application window with a task-bar entry, sizable, with minimise and
    // maximise boxes.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(JapaneseFixedFont(11));
    CreateMenus();
    CreateControls();
    DoDataExchange();
    OnInitDialog();
}

CTarnwickDlg::~CTarnwickDlg() {
    qApp->removeEventFilter(this);
}

void CTarnwickDlg::CreateControls() {
    m_client = new QWidget(this);
    const DialogBaseUnits base = DialogBaseUnitsOf(font());

    m_vitcLabel = new QLabel(QStringLiteral("VITC"), m_client);
    m_tcDisplay = new QLabel(QStringLiteral("--:--:--:--"), m_client);
    m_tcDisplay->setAlignment(Qt::AlignCenter);
    m_tcDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_frameCheckLabel = new QLabel(QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=3(Drop)"), m_client);
    const auto button = [this](int id) { return MakeButton(m_client, FindCommand(id)->text); };
    m_btnIn = button(IDC_IN);
    m_btnOut = button(IDC_OUT);
    m_btnIns = button(IDC_INS);
    m_btnDel = button(IDC_DEL);
    m_btnEnter = button(IDC_ENTER);
    m_btnEnter->hide();
    m_btnPlus = button(IDC_BTN_PLUS);
    m_btnSquare = button(IDC_BTN_SQUARE);
    m_btnMinus = button(IDC_BTN_MINUS);

    // The edit box precedes the grid in the Z order so that it covers the cell it edits.
    m_grid.setParent(m_client);
    m_editCell.setParent(m_client);
    m_editCell.hide();
    m_editCell.setFrame(true);
    // Text typed into the cell editor is drawn red; no other control changes colour.
    QPalette editPalette = m_editCell.palette();
    editPalette.setColor(QPalette::Text, QColor(255, 0, 0));
    m_editCell.setPalette(editPalette);

    // The grid's stored properties.
    m_grid.SetCols(LIST_COLS);
    m_grid.SetRows(10);
    m_view.SetUp();

    for (const ControlTemplate& t : kTemplate) {
        if (QWidget* w = GetDlgItem(t.id)) {
            w->setGeometry(MapDialogRect(base, t.x, t.y, t.cx, t.cy));
        }
    }
    m_editCell.raise();

    const QRect client = MapDialogRect(base, 0, 0, kDialogWidthDu, kDialogHeightDu);
    resize(client.width(), client.height() + m_menuBar->sizeHint().height());
}

// The menu bar's four menus and the list's own menu, from the command table.
void CTarnwickDlg::CreateMenus() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_contextMenu = new QMenu(this);
    const auto fill = [this](QMenu* menu, Place place, bool choices) {
        QActionGroup* group = choices ? new QActionGroup(menu) : nullptr;
        for (const Command& command : Commands()) {
            if (command.place != place) {
                continue;
            }
            if (command.separatorBefore) {
                menu->addSeparator();
            }
            QAction* item = menu->addAction(QString::fromUtf8(command.text));
            item->setData(command.id);
            item->setCheckable(command.checked != nullptr);
            if (group != nullptr) {
                group->addAction(item); // drawn as radio items
            }
            connect(item, &QAction::triggered, this,
                    [this, id = command.id] { Dispatch(id, Notify::Command); });
            m_menuItems.emplace_back(command.id, item);
        }
    };
    for (const Popup& popup : Popups()) {
        if (popup.parent == Place::None) {
            QMenu* menu = m_menuBar->addMenu(QString::fromUtf8(popup.title));
            fill(menu, popup.place, popup.choices);
            connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
        }
    }
    fill(m_contextMenu, Place::ContextMenu, false);
    for (const Popup& popup : Popups()) {
        if (popup.parent == Place::ContextMenu) {
            m_contextMenu->addSeparator();
            fill(m_contextMenu->addMenu(QString::fromUtf8(popup.title)), popup.place,
                 popup.choices);
        }
    }
}

void CTarnwickDlg::DoDataExchange() {
    // Binds the cell editor and the grid to their control ids; no data values move.
    m_editCell.setObjectName(QStringLiteral("IDC_CELL_EDIT"));
    m_grid.setObjectName(QStringLiteral("IDC_GRID"));
}

QWidget* CTarnwickDlg::GetDlgItem(int id) const {
    switch (id) {
    case IDC_GRID:
        return const_cast<CMSFlexGrid*>(&m_grid);
    case IDC_TC_DISPLAY:
        return m_tcDisplay;
    case IDC_IN:
        return m_btnIn;
    case IDC_OUT:
        return m_btnOut;
    case IDC_VITC_LABEL:
        return m_vitcLabel;
    case IDC_INS:
        return m_btnIns;
    case IDC_DEL:
        return m_btnDel;
    case IDC_ENTER:
        return m_btnEnter;
    case IDC_CELL_EDIT:
        return const_cast<QLineEdit*>(&m_editCell);
    case IDC_FRAMECHECK_LABEL:
        return m_frameCheckLabel;
    case IDC_BTN_PLUS:
        return m_btnPlus;
    case IDC_BTN_SQUARE:
        return m_btnSquare;
    case IDC_BTN_MINUS:
        return m_btnMinus;
    default:
        return nullptr;
    }
}

QAction* CTarnwickDlg::MenuItem(int id) const {
    for (const auto& [itemId, item] : m_menuItems) {
        if (itemId == id) {
            return item;
        }
    }
    return nullptr;
}

QRect CTarnwickDlg::ControlRect(int id) const {
    QWidget* w = GetDlgItem(id);
    return w ? w->geometry() : QRect();
}

void CTarnwickDlg::ConnectControls() {
    // Routing of control notifications; the table itself is in routing.cpp.
    connect(m_btnIn, &QPushButton::clicked, this, [this] { Dispatch(IDC_IN, Notify::Clicked); });
    connect(m_btnOut, &QPushButton::clicked, this, [this] { Dispatch(IDC_OUT, Notify::Clicked); });
    // A capture takes the frame of the moment its button went down.
    for (QPushButton* capture : {m_btnIn, m_btnOut}) {
        connect(capture, &QPushButton::pressed, this, [this] { m_pressNs = SteadyNowNs(); });
    }
    connect(m_btnIns, &QPushButton::clicked, this, [this] { Dispatch(IDC_INS, Notify::Clicked); });
    connect(m_btnDel, &QPushButton::clicked, this, [this] { Dispatch(IDC_DEL, Notify::Clicked); });
    connect(m_btnEnter, &QPushButton::clicked, this,
            [this] { Dispatch(IDC_ENTER, Notify::Clicked); });
    connect(m_btnPlus, &QPushButton::clicked, this,
            [this] { Dispatch(IDC_BTN_PLUS, Notify::Clicked); });
    connect(m_btnSquare, &QPushButton::clicked, this,
            [this] { Dispatch(IDC_BTN_SQUARE, Notify::Clicked); });
    connect(m_btnMinus, &QPushButton::clicked, this,
            [this] { Dispatch(IDC_BTN_MINUS, Notify::Clicked); });
    connect(&m_editCell, &QLineEdit::textChanged, this,
            [this] { Dispatch(IDC_CELL_EDIT, Notify::EditChange); });
    connect(&m_grid, &CMSFlexGrid::EnterCell, this,
            [this] { Dispatch(IDC_GRID, Notify::EnterCell); });
    connect(&m_grid, &CMSFlexGrid::LeaveCell, this,
            [this] { Dispatch(IDC_GRID, Notify::LeaveCell); });
    // Every key press of the dialog and its children passes PreTranslateMessage first.
    qApp->installEventFilter(this);
}

bool CTarnwickDlg::OnInitDialog() {
    ConnectControls();
    AddAboutToSystemMenu(this, IDM_ABOUTBOX, QStringLiteral("Tarnwickのﾊﾞｰｼﾞｮﾝ情報(&A)..."),
                         [this](int id) { OnSysCommand(id); });
    setWindowIcon(m_hIcon);

    m_bRemarkImeOpen = 0;
    m_nCaret = 0;
    m_settings = AppSettings();
    m_view.SetVisibleRows(0);

    // The settings file stays where the program started, wherever the file dialogs have
    // gone since (they never move the working directory).
    const QString cwd = QDir::currentPath();
    m_szIniPath = QDir::toNativeSeparators(cwd + QStringLiteral("/default.ini"));
    m_szHelpPath = QDir::toNativeSeparators(cwd + QStringLiteral("/help.hlp"));
    m_timecode = Timecode();

    m_listFile.LoadSettings(m_szIniPath, &m_settings);
    // Before the recovery copy is kept: setting the list up is no change to keep.
    m_list.SetUp(m_settings.FrameRate);
    // From here every change to the list reaches its recovery copy; the timecode line shows
    // while it cannot.
    m_recovery.SetIndicator([this](const QString& text, const QString& detail) {
        ShowStatusNote(m_frameCheckLabel, StatusNote::Recovery, text, detail);
    });
    m_recovery.Start(cwd);
    connect(&m_list, &SpotList::Changed, &m_recovery, [this] { m_recovery.Schedule(); });
    // The copy holds the modified state, and the file path that moves with it.
    connect(&m_list, &SpotList::ModifiedChanged, &m_recovery, [this] { m_recovery.Schedule(); });
    m_outerSize.Prepare(QSize(m_settings.WindowWidth, m_settings.WindowHeight),
                        MinimumWindowSize());
    SelectPort(m_settings.com, m_settings.VtrType);
    m_nPollTimer = SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
    ShowFrameCheck();
    UpdateCommandStates();

    PostDeferredInit();
    m_btnPlus->hide();
    m_btnSquare->hide();
    m_btnMinus->hide();
    setWindowTitle(QStringLiteral("Tarnwick"));
    return true;
}

// Posted after start-up and after every Open, so that it runs once the window is showing.
void CTarnwickDlg::PostDeferredInit() {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(WM_DEFERRED_INIT)));
}

void CTarnwickDlg::OnDeferredInit() {

    m_outerSize.Apply(QSize(m_settings.WindowWidth, m_settings.WindowHeight), MinimumWindowSize());
    // The window was made this size before it was shown, so the resize may change nothing
    // and bring no size message: the size is recorded here as that message would.
    OnSize(0, m_client->width(), m_client->height());
    raise();

    const int widths[LIST_COLS] = {m_settings.Width0, m_settings.Width1, m_settings.Width2,
                                   m_settings.Width3, m_settings.Width4, m_settings.Width5};
    for (int i = 0; i < LIST_COLS; ++i) {
        m_grid.SetColWidth(i, widths[i]);
    }
    ControlReLocate();

    m_grid.setFocus();
    OfferRecovery();
}

// A list that a crash, a kill or a power cut left unsaved comes back if the operator wants it:
// asked once, with the window shown.
void CTarnwickDlg::OfferRecovery() {
    const LeftCopy left = m_recovery.TakeLeftCopy();
    if (!left.offered && left.notice.isEmpty()) {
        return;
    }
    PollPause pause(*this);
    // A copy that cannot be read is never offered; the operator learns where it was put.
    if (!left.notice.isEmpty()) {
        TwMessageBox(this, left.notice, BoxButtons::Ok);
        return;
    }
    const BoxAnswer answer = TwMessageBox(this, left.question, BoxButtons::YesNo);
    if (m_ending) {
        return; // ended from outside while asking: the copy stays for the next start
    }
    if (answer != BoxAnswer::Yes) {
        m_recovery.Discard();
        return;
    }
    m_list.Restore(ListSnapshot{left.state.rows, 1, COL_IN, left.state.fps});
    ShowFrameCheck();
    m_listFile.SetPath(left.state.listPath);
    m_list.ClearHistory();
    m_grid.SetTopRow(1);
    m_grid.setFocus();
    SetModified(1);
    m_recovery.Keep();
}

void CTarnwickDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    }
}

void CTarnwickDlg::OnAbout() {
    PollPause pause(*this);
    CAboutDlg about(this);
    TwDoModal(about);
}

void CTarnwickDlg::OnHelpContents() {
    // Help is not modal: the polling keeps running.
    TwWinHelp(this);
}

void CTarnwickDlg::OnClose() {
    PollPause pause(*this);
    if (m_list.IsModified()) {
        const BoxAnswer answer = TwMessageBox(
            this, QStringLiteral("変更されています。保存しますか？"), BoxButtons::YesNo);
        if (m_ending) {
            return; // ended from outside while asking
        }
        if (answer == BoxAnswer::Yes) {
            // Always asks for a name, even when the list came from a file.
            if (m_listFile.SaveList(m_list, 1) != 1) {
                return; // the program goes on, polling again
            }
            m_settings.CurrentFile = m_listFile.GetPath();
            SetModified(0);
        }
    }
    if (m_ending) {
        return;
    }
    // Whatever the answer was, the list has had its chance to be saved.
    m_recovery.Finish(false);
    m_settings.FrameRate = m_list.FrameRate();
    m_listFile.SaveSettings(m_grid, m_szIniPath, &m_settings);
    m_vtrLink.VtrClose();
    pause.Dismiss();
    m_ending = true;
    done(0);
}

void CTarnwickDlg::PostEndRequest() {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(WM_END_REQUEST)));
}

// Asked to end from outside (SIGTERM, SIGHUP, SIGINT): as Exit does, but without asking,
// since nobody may be there to answer. An unsaved list stays in its recovery copy.
void CTarnwickDlg::OnEndRequest() {
    if (m_ending) {
        return;
    }
    // Text being typed into a cell is stored as Enter would store it, so the copy holds it.
    CommitEdit();
    KillTimer(m_nPollTimer);
    m_recovery.Finish(m_list.IsModified());
    m_settings.FrameRate = m_list.FrameRate();
    m_listFile.SaveSettings(m_grid, m_szIniPath, &m_settings);
    m_vtrLink.VtrClose();
    m_ending = true;
    done(0);
    // A box, a file dialog or a menu runs a loop of its own above the window's: all end.
    QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != this) || QApplication::activePopupWidget()) {
        QCoreApplication::exit(0);
    }
}

// The deck's worker pauses with the timer: no request reaches the VTR while a box is up.
CTarnwickDlg::PollPause::PollPause(CTarnwickDlg& dlg) : m_dlg(dlg) {
    m_dlg.KillTimer(m_dlg.m_nPollTimer);
    m_dlg.m_vtrLink.VtrPausePolling(true);
}

void CTarnwickDlg::PollPause::Restart() {
    if (m_paused && !m_dlg.m_ending) {
        m_paused = false;
        m_dlg.m_nPollTimer = m_dlg.SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
        m_dlg.m_vtrLink.VtrPausePolling(false);
    }
}

int CTarnwickDlg::SetTimer(int id, int elapseMs) {
    // Starting the window timer again replaces it, so there is never more than one.
    if (m_qtTimerId != 0) {
        killTimer(m_qtTimerId);
    }
    m_qtTimerId = startTimer(elapseMs);
    return id;
}

void CTarnwickDlg::KillTimer(int timer) {
    if (timer != 0 && m_qtTimerId != 0) {
        killTimer(m_qtTimerId);
        m_qtTimerId = 0;
    }
}
