#include "app/tarnwick_dlg.h"

#include "app/status_notes.h"
#include "platform/system_menu.h"
#include "platform/ui_font.h"
#include "platform/ui_language.h"

#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <climits>

CTarnwickDlg::CTarnwickDlg(QWidget* parent)
    : QDialog(parent), m_session(*this), m_view(m_session.List(), m_grid),
      m_editor(m_session.List(), m_grid, m_view, m_session.Source(), m_session.ListCommand()),
      m_viewCommands(*this, m_grid, m_session.Poll()), m_outerSize(*this) {
    m_hIcon = QIcon(QStringLiteral(":/res/tarnwick.xpm"));
    // A top-level application window with a task-bar entry, sizable, with minimise and
    // maximise boxes.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(JapaneseFixedFont(11));
    setAcceptDrops(true);
    BuildCommands();
    CreateMenus();
    // The grid's stored properties.
    m_grid.SetCols(LIST_COLS);
    m_grid.SetRows(10);
    m_view.SetUp();
    const QSize client = CreateMainControls(
        this, &m_grid, &m_editor.Edit(), [this](int id) { return tr(m_commands.Find(id)->text); },
        &m_controls);
    resize(client.width(), client.height() + m_menuBar->sizeHint().height());
    // Binds the cell editor and the grid to their control ids; no data values move.
    m_editor.Edit().setObjectName(QStringLiteral("IDC_CELL_EDIT"));
    m_grid.setObjectName(QStringLiteral("IDC_GRID"));
    OnInitDialog();
}

CTarnwickDlg::~CTarnwickDlg() {
    qApp->removeEventFilter(this);
}

// The menu bar's four menus and the list's own menu, from the command table.
void CTarnwickDlg::CreateMenus() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    m_contextMenu = new QMenu(this);
    const auto fill = [this](QMenu* menu, Place place, bool choices) {
        QActionGroup* group = choices ? new QActionGroup(menu) : nullptr;
        for (const Command& command : m_commands.All()) {
            if (command.place != place) {
                continue;
            }
            if (command.separatorBefore) {
                menu->addSeparator();
            }
            QAction* item = menu->addAction(tr(command.text));
            item->setData(command.id);
            item->setCheckable(bool(command.checked));
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
            QMenu* menu = m_menuBar->addMenu(tr(popup.title));
            m_popupMenus.emplace_back(&popup, menu);
            fill(menu, popup.place, popup.choices);
            connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
            // Once the pop-up is gone (and no other has opened in its place).
            connect(menu, &QMenu::aboutToHide, this,
                    [this] { QTimer::singleShot(0, this, [this] { AfterMenuClosed(); }); });
        }
    }
    fill(m_contextMenu, Place::ContextMenu, false);
    for (const Popup& popup : Popups()) {
        if (popup.parent == Place::ContextMenu) {
            m_contextMenu->addSeparator();
            QMenu* submenu = m_contextMenu->addMenu(tr(popup.title));
            m_popupMenus.emplace_back(&popup, submenu);
            submenu->setToolTipsVisible(true); // why a greyed item is greyed
            fill(submenu, popup.place, popup.choices);
        }
    }
}

// Every text the window holds, again in the language now in place. The notes the commands
// show are shown again by the session.
void CTarnwickDlg::RetranslateUi() {
    for (const auto& [popup, menu] : m_popupMenus) {
        menu->setTitle(tr(popup->title));
    }
    for (const auto& [id, item] : m_menuItems) {
        item->setText(tr(m_commands.Find(id)->text));
    }
    for (int id : {IDC_IN, IDC_OUT, IDC_INS, IDC_DEL, IDC_ENTER, IDC_BTN_PLUS, IDC_BTN_SQUARE,
                   IDC_BTN_MINUS}) {
        static_cast<QPushButton*>(GetDlgItem(id))->setText(tr(m_commands.Find(id)->text));
    }
    ShowAboutInSystemMenu();
    m_session.ShowTextsAgain();
    UpdateCommandStates();
}

void CTarnwickDlg::ShowAboutInSystemMenu() {
    AddAboutToSystemMenu(this, IDM_ABOUTBOX, tr("Tarnwickのﾊﾞｰｼﾞｮﾝ情報(&A)..."),
                         [this](int id) { m_viewCommands.OnSysCommand(id); });
}

// The other language, at once, and kept for the next start.
void CTarnwickDlg::SwitchLanguage() {
    const UiLanguage next =
        CurrentUiLanguage() == UiLanguage::Japanese ? UiLanguage::English : UiLanguage::Japanese;
    InstallUiLanguage(next);
    // Every window is told by a posted event; delivered now, the change shows before the
    // menu's item returns, and changeEvent retranslates this window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    m_session.KeepLanguage(UiLanguageKey(next));
}

// A pop-up closed with Esc leaves the menu bar holding the keyboard with no sign of it: I and
// O would capture nothing, and the arrows and Enter would work the menus instead of the list.
// One Esc gives the keyboard back, as the bar's own second Esc would: to whatever had it.
void CTarnwickDlg::AfterMenuClosed() {
    if (QApplication::activePopupWidget() || !m_menuBar->hasFocus()) {
        return;
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(m_menuBar, &escape);
    if (m_menuBar->hasFocus()) {
        m_grid.setFocus();
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
    // Routing of control notifications; the table itself is in routing.cpp. A button's
    // command takes the moment the button went down, not of its release.
    for (int id : {IDC_IN, IDC_OUT, IDC_INS, IDC_DEL, IDC_ENTER, IDC_BTN_PLUS, IDC_BTN_SQUARE,
                   IDC_BTN_MINUS}) {
        auto* button = static_cast<QPushButton*>(GetDlgItem(id));
        auto pressed = std::make_shared<int64_t>(0);
        connect(button, &QPushButton::pressed, this, [pressed] { *pressed = SteadyNowNs(); });
        connect(button, &QPushButton::clicked, this, [this, id, pressed] {
            Dispatch(id, Notify::Clicked, Trigger{0, std::exchange(*pressed, 0)});
        });
    }
    connect(&m_editor.Edit(), &QLineEdit::textChanged, this,
            [this] { Dispatch(IDC_CELL_EDIT, Notify::EditChange); });
    connect(&m_grid, &CMSFlexGrid::EnterCell, this,
            [this] { Dispatch(IDC_GRID, Notify::EnterCell); });
    connect(&m_grid, &CMSFlexGrid::LeaveCell, this,
            [this] { Dispatch(IDC_GRID, Notify::LeaveCell); });
    connect(m_grid.horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col) { OnColumnSized(col); });
    // Every key press of the dialog and its children passes PreTranslateMessage first.
    qApp->installEventFilter(this);
}

bool CTarnwickDlg::OnInitDialog() {
    ConnectControls();
    ShowAboutInSystemMenu();
    setWindowIcon(m_hIcon);
    m_view.SetVisibleRows(0);

    m_session.Start(QDir::currentPath());
    const AppSettings& settings = m_session.Settings();
    m_outerSize.Prepare(QSize(settings.WindowWidth, settings.WindowHeight), MinimumWindowSize());
    UpdateCommandStates();

    PostDeferredInit();
    m_controls.plus->hide();
    m_controls.square->hide();
    m_controls.minus->hide();
    setWindowTitle(QStringLiteral("Tarnwick"));
    return true;
}

// Posted after start-up and after every Open, so that it runs once the window is showing.
void CTarnwickDlg::PostDeferredInit() {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(WM_DEFERRED_INIT)));
}

void CTarnwickDlg::OnDeferredInit() {
    const AppSettings& settings = m_session.Settings();
    m_outerSize.Apply(QSize(settings.WindowWidth, settings.WindowHeight), MinimumWindowSize());
    // The window was made this size before it was shown, so the resize may change nothing
    // and bring no size message: the size is recorded here as that message would.
    OnSize(0, Client()->width(), Client()->height());
    raise();

    const int widths[LIST_COLS] = {settings.Width0, settings.Width1, settings.Width2,
                                   settings.Width3, settings.Width4, settings.Width5};
    m_fittingRemark = true;
    for (int i = 0; i < LIST_COLS; ++i) {
        m_grid.SetColWidth(i, widths[i]);
    }
    m_fittingRemark = false;
    m_remarkTwips = m_grid.GetColWidth(COL_REMARK);
    ControlReLocate();

    m_grid.setFocus();
    m_session.OfferRecovery();
}

void CTarnwickDlg::PostEndRequest() {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(WM_END_REQUEST)));
}

void CTarnwickDlg::ShowTimecode(const QString& text, const QString& caption) {
    m_controls.tcDisplay->setText(text);
    if (m_controls.vitcLabel->text() != caption)
        m_controls.vitcLabel->setText(caption);
}

void CTarnwickDlg::ShowFrameCheck(const QString& text) {
    m_controls.frameCheckLabel->setText(text);
}

void CTarnwickDlg::ShowNote(StatusNote note, const QString& text, const QString& detail) {
    ShowStatusNote(m_controls.frameCheckLabel, note, text, detail);
}

QVector<int> CTarnwickDlg::ColumnWidths() const {
    QVector<int> widths;
    for (int i = 0; i < LIST_COLS; ++i) {
        const long twips = i == COL_REMARK ? m_remarkTwips : m_grid.GetColWidth(i);
        widths << int(std::clamp<long>(twips, INT_MIN, INT_MAX));
    }
    return widths;
}

void CTarnwickDlg::EndWindow() {
    done(0);
    // A box, a file dialog or a menu runs a loop of its own above the window's: all end.
    QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != this) || QApplication::activePopupWidget()) {
        QCoreApplication::exit(0);
    }
}
