// Every entry point of the main window: the command table, the notifications of its controls,
// and the messages it handles. A new command is one row of the table; a new source or format
// is a row of its own table, which the menus here walk.
#include "app/tarnwick_dlg.h"

#include "app/key_codes.h"
#include "formats/interchange_formats.h"
#include "sources/source_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace {

constexpr Qt::KeyboardModifiers NONE = Qt::NoModifier;
constexpr Qt::KeyboardModifiers CTRL = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers SHIFT = Qt::ShiftModifier;

// K held makes J and L step a frame; only its real release ends that, not auto-repeat's.
bool IsKRelease(const QKeyEvent* key) {
    return key->type() == QEvent::KeyRelease && key->key() == Qt::Key_K && !key->isAutoRepeat();
}

} // namespace

const Command* CommandTable::Find(int id) const {
    for (const Command& command : m_commands) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

const Command* CommandTable::ForKey(int code, Qt::KeyboardModifiers mods) const {
    if (code == 0) {
        return nullptr;
    }
    for (const Command& command : m_commands) {
        for (const Key& k : command.keys) {
            if (k.code == code && (mods & k.need) == k.need && !(mods & k.refuse)) {
                return &command;
            }
        }
    }
    return nullptr;
}

// The menu bar's pop-ups and the context menu's submenus. The pop-ups' captions carry no
// mnemonic: the bracketed function key opens each, at its first item.
const std::vector<Popup>& Popups() {
    static const std::vector<Popup> popups = {
        {Place::FileMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "ﾌｧｲﾙ(F1)"), vk::F1, Place::None,
         false},
        {Place::FrameCheckMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "ﾌﾚｰﾑﾁｪｯｸ(F2)"), vk::F1 + 1,
         Place::None, false},
        {Place::ComMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "通信(F3)"), vk::F1 + 2, Place::None,
         false},
        {Place::HelpMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "ヘルプ(F4)"), vk::F1 + 3, Place::None,
         false},
        {Place::FrameRateMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "フレームレート"), 0,
         Place::ContextMenu, true},
        {Place::TransportMenu, QT_TRANSLATE_NOOP("CTarnwickDlg", "トランスポート"), 0,
         Place::ContextMenu, false},
    };
    return popups;
}

// Every command of the window, once: its id, where it sits and its text, its keys, what it
// runs, and when it is enabled and checked. The menus, the context menu, the buttons'
// captions, the keys and the routing are all built from this table. A key acts with the grid
// or a button focused, never in the cell editor; Shift, Ctrl and auto-repeat are not looked
// at unless the key names them, so a held key acts again with each repeat.
void CTarnwickDlg::BuildCommands() {
    constexpr Place FILE = Place::FileMenu, FRAME = Place::FrameCheckMenu, COM = Place::ComMenu,
                    HELP = Place::HelpMenu, CONTEXT = Place::ContextMenu, BUTTON = Place::Button,
                    RATE = Place::FrameRateMenu, TRANSPORT = Place::TransportMenu,
                    NO_PLACE = Place::None;
    constexpr KeyScope WINDOW = KeyScope::Window, GRID = KeyScope::Grid;
    constexpr KeyAfter ON = KeyAfter::GoesOn, USED = KeyAfter::UsedUp;
    Session& s = m_session;
    ListCommands& list = s.ListCommand();
    SourceCommands& source = s.Source();
    FileCommands& files = s.Files();
    ExchangeCommands& exchange = s.Exchange();
    TransportCommands& deck = s.TransportCommand();
    ViewCommands& view = m_viewCommands;
    CellEditor& editor = m_editor;
    const auto run = [](auto f) { return [f](const Trigger&) { f(); }; };
    const auto add = [this](int id, Place place, const char* text, bool sep, std::vector<Key> keys,
                            KeyScope scope, KeyAfter after, std::function<void(const Trigger&)> f,
                            std::function<bool()> enabled = {}, std::function<bool()> checked = {},
                            std::function<QString()> whyNot = {}) {
        m_commands.Add(Command{id, place, text, sep, std::move(keys), scope, after, std::move(f),
                               std::move(enabled), std::move(checked), std::move(whyNot)});
    };
    const auto frameCheck = [&](int id, const char* text, int gap, Counting counting) {
        add(id, FRAME, text, false, {}, WINDOW, ON,
            run([&list, gap, counting] { list.ChooseFrameCheck(gap, counting); }),
            counting == Counting::DropFrame
                ? std::function<bool()>([&list] { return list.IsDropFrameOffered(); })
                : std::function<bool()>(),
            [&list, gap, counting] { return list.IsFrameCheckChecked(gap, counting); });
    };
    const auto frameRate = [&](int id, const char* text, int fps) {
        add(id, RATE, text, false, {}, WINDOW, ON, run([&list, fps] { list.ChooseFrameRate(fps); }),
            {}, [&list, fps] { return list.IsFrameRateChecked(fps); });
    };
    // Keys of the list alone: in the cell editor J, K, L, G and Space type.
    const auto transport = [&](int id, const char* text, bool sep, std::vector<Key> keys,
                               TransportVerb verb, std::function<void(const Trigger&)> f) {
        add(
            id, TRANSPORT, text, sep, std::move(keys), GRID, USED, std::move(f),
            [&deck, verb] { return deck.Offers(verb); }, {}, [&deck] { return deck.WhyNot(); });
    };
    const auto button = [&](int id, const char* text, std::vector<Key> keys,
                            std::function<void(const Trigger&)> f) {
        add(id, BUTTON, text, false, std::move(keys), WINDOW, ON, std::move(f));
    };

    // clang-format off
    add(ID_FILE_OPEN,   FILE, QT_TR_NOOP("開く"),             false, {}, WINDOW, ON, run([&files] { files.OnFileOpen(); }));
    add(ID_FILE_SAVEAS, FILE, QT_TR_NOOP("名前を付けて保存"), false, {}, WINDOW, ON, run([&files] { files.OnFileSaveAs(); }));
    add(ID_FILE_SAVE,   FILE, QT_TR_NOOP("上書き保存"),       false, {}, WINDOW, ON, run([&files] { files.OnFileSave(); }));
    add(ID_FILE_PRINT,  FILE, QT_TR_NOOP("印刷"),             false, {}, WINDOW, ON, run([&s] { s.Print().OnFilePrint(); }));
    add(ID_FILE_EXIT,   FILE, QT_TR_NOOP("終了"),             false, {}, WINDOW, ON, run([&s] { s.OnClose(); }));
    frameCheck(ID_FRAMECHECK_3_NONDROP, QT_TR_NOOP("3 ﾌﾚｰﾑ (NonDrop)"), 3, Counting::NonDrop);
    frameCheck(ID_FRAMECHECK_4_NONDROP, QT_TR_NOOP("4 ﾌﾚｰﾑ (NonDrop)"), 4, Counting::NonDrop);
    frameCheck(ID_FRAMECHECK_3_DROP,    QT_TR_NOOP("3 ﾌﾚｰﾑ (Drop)"),    3, Counting::DropFrame);
    frameCheck(ID_FRAMECHECK_4_DROP,    QT_TR_NOOP("4 ﾌﾚｰﾑ (Drop)"),    4, Counting::DropFrame);
    static const char* const COM_PORTS[] = {"COM1", "COM2", "COM3", "COM4", "COM5"};
    for (int com = 1; com <= 5; ++com) {
        add(ID_COM1 + com - 1, COM, COM_PORTS[com - 1], false, {}, WINDOW, ON,
            run([&source, com] { source.ChooseCom(com); }), {},
            [&source, com] { return source.IsComChecked(com); });
    }
    for (const SourceRow& row : SourceRows()) {
        const int type = row.vtrType;
        add(row.commandId, COM, row.menuText, row.separatorBefore, {}, WINDOW, ON,
            run([&source, type] { source.ChooseSource(type); }), {},
            [&source, type] { return source.IsSourceChecked(type); });
    }
    add(ID_HELP_CONTENTS, HELP, QT_TR_NOOP("ヘルプ"),         false, {}, WINDOW, ON, run([&view] { view.OnHelpContents(); }));
    add(ID_HELP_ABOUT,    HELP, QT_TR_NOOP("バージョン情報"), false, {}, WINDOW, ON, run([&view] { view.OnAbout(); }));
    add(ID_EDIT_UNDO, CONTEXT, QT_TR_NOOP("元に戻す"), false, {{'Z', CTRL, SHIFT}},                      WINDOW, USED,
        run([&list] { list.OnEditUndo(); }), [&list] { return list.CanUndo(); });
    add(ID_EDIT_REDO, CONTEXT, QT_TR_NOOP("やり直し"), false, {{'Y', CTRL, NONE}, {'Z', CTRL | SHIFT, NONE}}, WINDOW, USED,
        run([&list] { list.OnEditRedo(); }), [&list] { return list.CanRedo(); });
    // The exports, one group: the rows are static, so each command keeps its row.
    for (const InterchangeFormat& format : InterchangeFormats()) {
        add(format.commandId, CONTEXT, format.menuText, &format == &InterchangeFormats().front(), {},
            WINDOW, ON, run([&exchange, &format] { exchange.ExportTo(format); }));
    }
    add(ID_FILE_NEW,    CONTEXT, QT_TR_NOOP("新規"),        true,  {}, WINDOW, ON, run([&files] { files.OnFileNew(); }));
    add(ID_FILE_IMPORT, CONTEXT, QT_TR_NOOP("読み込み..."), false, {}, WINDOW, ON, run([&exchange] { exchange.OnFileImport(); }));
    // Named in the language it switches to, so that an operator who reads only that one finds it.
    add(ID_SWITCH_LANGUAGE, CONTEXT, QT_TR_NOOP("English"), true, {}, WINDOW, ON, run([this] { SwitchLanguage(); }));
    frameRate(ID_FRAMERATE_24, "24", 24);
    frameRate(ID_FRAMERATE_25, "25", 25);
    frameRate(ID_FRAMERATE_30, "30", 30);
    using V = TransportVerb;
    transport(ID_TRANSPORT_PLAY,         QT_TR_NOOP("再生・シャトル\tL"),      false, {{'L', NONE, SHIFT | CTRL}},  V::Play,        run([&deck] { deck.OnL(); }));
    transport(ID_TRANSPORT_REVERSE,      QT_TR_NOOP("逆再生・シャトル\tJ"),    false, {{'J', NONE, SHIFT | CTRL}},  V::Shuttle,     run([&deck] { deck.OnJ(); }));
    transport(ID_TRANSPORT_STILL,        QT_TR_NOOP("スチル\tK"),              false, {{'K', NONE, SHIFT | CTRL}},  V::Still,       [&deck](const Trigger& t) { deck.OnK(t.key != 0); });
    transport(ID_TRANSPORT_PLAY_STILL,   QT_TR_NOOP("再生／スチル\tSpace"),    false, {{vk::Space, NONE, SHIFT | CTRL}},         V::Play,        run([&deck] { deck.OnPlayStill(); }));
    transport(ID_TRANSPORT_STEP_FORWARD, QT_TR_NOOP("1フレーム送り\tK+L"),     true,  {},                    V::StepForward, run([&deck] { deck.OnStepForward(); }));
    transport(ID_TRANSPORT_STEP_BACK,    QT_TR_NOOP("1フレーム戻し\tK+J"),     false, {},                    V::StepBack,    run([&deck] { deck.OnStepBack(); }));
    transport(ID_TRANSPORT_FF,           QT_TR_NOOP("早送り\tShift+L"),        false, {{'L', SHIFT, CTRL}},  V::FastForward, run([&deck] { deck.OnFastForward(); }));
    transport(ID_TRANSPORT_REWIND,       QT_TR_NOOP("巻き戻し\tShift+J"),      false, {{'J', SHIFT, CTRL}},  V::Rewind,      run([&deck] { deck.OnRewind(); }));
    transport(ID_TRANSPORT_STOP,         QT_TR_NOOP("停止\tShift+K"),          false, {{'K', SHIFT, CTRL}},  V::Stop,        run([&deck] { deck.OnStop(); }));
    transport(ID_TRANSPORT_CUE,          QT_TR_NOOP("行の IN／OUT へキュー\tG"), true, {{'G', NONE, SHIFT | CTRL}},  V::CueTo,       run([&deck] { deck.OnCueToRow(); }));
    transport(ID_TRANSPORT_CUE_PLAY,     QT_TR_NOOP("プリロールして再生\tShift+G"), false, {{'G', SHIFT, CTRL}}, V::CueThenPlay, run([&deck] { deck.OnCueToRowAndPlay(); }));
    transport(ID_TRANSPORT_STANDBY,      QT_TR_NOOP("スタンバイ オン／オフ"),   true,  {},                    V::StandbyOn,   run([&deck] { deck.OnStandby(); }));
    transport(ID_TRANSPORT_EJECT,        QT_TR_NOOP("イジェクト..."),           false, {},                    V::Eject,       run([&deck] { deck.OnEject(); }));
    button(IDC_IN,         "IN",           {{'I'}},         [&list](const Trigger& t) { list.OnIn(t); });
    button(IDC_OUT,        "OUT",          {{'O'}},         [&list](const Trigger& t) { list.OnOut(t); });
    button(IDC_INS,        "INS",          {{vk::Insert}},  run([&list] { list.OnIns(); }));
    button(IDC_DEL,        "DEL",          {{vk::Delete}},  run([&list] { list.OnDel(); }));
    button(IDC_ENTER,      QT_TR_NOOP("標準のボタン"), {},              run([&editor] { editor.OnEnterKey(); }));
    button(IDC_BTN_PLUS,   QT_TR_NOOP("＋"),           {},              run([&view] { view.OnSmallButton(); }));
    button(IDC_BTN_SQUARE, QT_TR_NOOP("■"),            {},              run([&view] { view.OnSmallButton(); }));
    button(IDC_BTN_MINUS,  QT_TR_NOOP("－"),           {},              run([&view] { view.OnSmallButton(); }));
    add(ID_LIST_ENTER_KEY,  NO_PLACE, nullptr, false, {{vk::Return}}, WINDOW, ON, run([&list] { list.OnEnterKeyDown(); }));
    add(ID_LIST_REMARK_KEY, NO_PLACE, nullptr, false, {{'R'}},        WINDOW, ON, run([&editor] { editor.OnRemarkKey(); }));
    add(ID_LIST_MENU_KEY,   NO_PLACE, nullptr, false, {{vk::Apps}, {vk::F10, SHIFT, NONE}}, GRID, USED,
        run([this] { Dispatch(IDC_GRID, Notify::ContextMenu); }));
    // clang-format on
}

void CTarnwickDlg::RunCommand(const Command& command, const Trigger& trigger) {
    if (command.enabled && !command.enabled()) {
        return;
    }
    command.run(trigger);
    if (!m_session.Ending()) {
        UpdateCommandStates();
    }
}

void CTarnwickDlg::UpdateCommandStates() {
    for (const auto& [id, item] : m_menuItems) {
        const Command* command = m_commands.Find(id);
        const bool enabled = !command->enabled || command->enabled();
        item->setEnabled(enabled);
        if (command->whyNot) {
            item->setToolTip(enabled ? QString() : command->whyNot());
        }
        if (command->checked) {
            item->setChecked(command->checked());
        }
    }
}

void CTarnwickDlg::Dispatch(int id, Notify code, const Trigger& trigger) {
    if (code == Notify::Command || code == Notify::Clicked) {
        if (const Command* command = m_commands.Find(id)) {
            RunCommand(*command, trigger);
        }
        return;
    }
    // The notifications of the cell editor and the grid.
    struct Route {
        int id;
        Notify code;
        std::function<void()> handler;
    };
    // clang-format off
    const Route routes[] = {
        {IDC_CELL_EDIT, Notify::EditSetFocus,  [this] { m_editor.OnCellEditSetFocus(); }},
        {IDC_CELL_EDIT, Notify::EditKillFocus, [this] { m_editor.OnCellEditKillFocus(); }},
        {IDC_CELL_EDIT, Notify::EditChange,    [this] { m_editor.OnCellEditChange(); }},
        {IDC_GRID,      Notify::EnterCell,     [this] { m_view.OnEnterCell(); }},
        {IDC_GRID,      Notify::LeaveCell,     [this] { m_view.OnLeaveCell(); }},
        {IDC_GRID,      Notify::ContextMenu,   [this] {
             UpdateCommandStates();
             m_viewCommands.OnGridContextMenu(m_contextMenu, std::exchange(m_ptContextMenu, KEYBOARD_MENU_POINT));
         }},
    };
    // clang-format on
    for (const Route& route : routes) {
        if (route.id == id && route.code == code) {
            route.handler();
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
        m_session.OnEndRequest();
        return true;
    }
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) {
        m_outerSize.FrameMayHaveChanged();
    }
    return QDialog::event(e);
}

void CTarnwickDlg::closeEvent(QCloseEvent* e) {
    // The close box, Alt+F4 and the system menu's Close all run the shut-down sequence,
    // which decides itself whether the window ends.
    if (m_session.Ending()) {
        e->accept();
        return;
    }
    e->ignore();
    m_session.OnClose();
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
    if (watched == &m_editor.Edit()) {
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
    if (e->type() == QEvent::KeyRelease && IsKRelease(static_cast<QKeyEvent*>(e))) {
        m_session.TransportCommand().OnKReleased();
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

// A key from the picture window: handled as the list's focus would have it, through the same
// hook, then by the control itself.
bool CTarnwickDlg::TakeKey(QKeyEvent* key) {
    QWidget* target = focusWidget() != nullptr ? focusWidget() : &m_grid;
    if (key->type() == QEvent::KeyPress && PreTranslateMessage(target, key)) {
        return true;
    }
    if (IsKRelease(key)) {
        m_session.TransportCommand().OnKReleased();
    }
    QApplication::sendEvent(target, key);
    return true;
}

void CTarnwickDlg::dragEnterEvent(QDragEnterEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        e->acceptProposedAction();
    }
}

void CTarnwickDlg::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) {
        return;
    }
    e->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // Opened once the drop is over, so that the source's boxes are not inside it.
    QTimer::singleShot(0, this, [this, path] {
        m_session.Source().Video().OpenFile(path);
        UpdateCommandStates();
    });
}

void CTarnwickDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    Client()->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    const int type = isMinimized() ? 1 : 0;
    OnSize(type, Client()->width(), Client()->height());
}

void CTarnwickDlg::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    m_outerSize.FrameMayHaveChanged();
}

void CTarnwickDlg::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isMinimized()) {
        OnSize(0, Client()->width(), Client()->height());
    }
    if (e->type() == QEvent::LanguageChange && m_menuBar != nullptr) {
        RetranslateUi();
    }
}
