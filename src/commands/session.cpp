#include "commands/session.h"

#include "persist/settings_io.h"

#include "commands/screen.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "sources/live_timecode.h"

#include <QDir>

Session::Session(Screen& screen)
    : m_screen(screen), m_list([this] { return m_listCommands.ListRules(); }),
      m_polling(m_vtrLink,
                [this] {
                    m_source.OnTimer();
                    m_transport.ShowState(SteadyNowNs());
                }),
      m_recovery([this] {
          return RecoveryState{m_list.Rows(), m_listFile.GetPath(), m_list.IsModified(),
                               m_list.FrameRate()};
      }),
      m_source(m_vtrLink, m_settings, m_szIniPath, m_list, screen, m_polling,
               [this](const SignalRate& rate, bool chosen) { FollowRate(rate, chosen); }),
      m_listCommands(m_list, m_settings, m_source, screen, m_polling),
      m_files(m_list, m_listFile, screen, m_polling),
      m_exchange(m_list, m_listFile, m_files, screen, m_polling),
      m_print(m_list, m_listFile, screen, m_polling),
      m_transport(m_vtrLink, m_list, m_settings, screen, m_polling) {}

void Session::Start(const QString& cwd) {
    m_settings = AppSettings();
    // The settings file stays where the program started, wherever the file dialogs have
    // gone since (they never move the working directory).
    m_szIniPath = QDir::toNativeSeparators(cwd + QStringLiteral("/default.ini"));
    m_szHelpPath = QDir::toNativeSeparators(cwd + QStringLiteral("/help.hlp"));
    m_listFile.LoadSettings(m_szIniPath, &m_settings);
    SetFileDialogFolder(m_settings.InitialDirSave);
    // Before the recovery copy is kept: setting the list up is no change to keep.
    m_list.SetUp(m_settings.FrameRate);
    // The frame-check label follows the list's rate, which a change (an undo, an open, a
    // restore) may bring back.
    QObject::connect(&m_list, &SpotList::Changed, &m_polling,
                     [this] { m_listCommands.ShowFrameCheck(); });
    // Which list is open, and whether it is saved, is always in sight.
    QObject::connect(&m_list, &SpotList::ModifiedChanged, &m_polling,
                     [this] { m_files.ShowDocument(); });
    // From here every change to the list reaches its recovery copy; the timecode line shows
    // while it cannot.
    m_recovery.SetIndicator([this](const QString& text, const QString& detail) {
        m_screen.ShowNote(StatusNote::Recovery, text, detail);
    });
    m_recovery.Start(cwd);
    QObject::connect(&m_list, &SpotList::Changed, &m_recovery, [this] { m_recovery.Schedule(); });
    // The copy holds the modified state, and the file path that moves with it.
    QObject::connect(&m_list, &SpotList::ModifiedChanged, &m_recovery,
                     [this] { m_recovery.Schedule(); });
    m_source.SelectPort(m_settings.com, m_settings.VtrType);
    m_polling.SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
    m_listCommands.ShowFrameCheck();
    m_files.ShowDocument();
}

void Session::ShowTextsAgain() {
    m_listCommands.ShowFrameCheck();
    m_files.ShowDocument();
    m_recovery.ShowAgain();
}

void Session::KeepLanguage(const QString& key) {
    m_settings.Language = key;
    SaveLanguageSetting(m_szIniPath, key);
}

// The list counts as the picture does. Chosen by the operator it is the rate menu's step;
// at start-up the list is still empty, and only set up again at that rate.
void Session::FollowRate(const SignalRate& rate, bool chosen) {
    if (chosen) {
        m_listCommands.FollowRate(rate);
        return;
    }
    if (rate.rate.Fps() != m_list.FrameRate())
        m_list.SetUp(rate.rate.Fps());
    if (rate.rate.Fps() == 30)
        m_settings.Drop = rate.rate.DropFrame() ? 1 : 0;
    m_listCommands.ShowFrameCheck();
}

void Session::OfferRecovery() {
    const LeftCopy left = m_recovery.TakeLeftCopy();
    if (!left.offered && left.notice.isEmpty()) {
        return;
    }
    Polling::Pause pause(m_polling);
    // A copy that cannot be read is never offered; the operator learns where it was put.
    if (!left.notice.isEmpty()) {
        TwMessageBox(m_screen.Owner(), left.notice, BoxButtons::Ok);
        return;
    }
    const BoxAnswer answer = TwMessageBox(m_screen.Owner(), left.question, BoxButtons::YesNo);
    if (Ending()) {
        return; // ended from outside while asking: the copy stays for the next start
    }
    if (answer != BoxAnswer::Yes) {
        m_recovery.Discard();
        return;
    }
    m_list.Restore(ListSnapshot{left.state.rows, 1, COL_IN, left.state.fps});
    m_listFile.SetPath(left.state.listPath);
    m_list.ClearHistory();
    m_screen.ShowFromTop();
    m_screen.FocusList();
    m_listCommands.SetModified(1);
    m_files.ShowDocument();
    m_recovery.Keep();
}

void Session::OnClose() {
    Polling::Pause pause(m_polling);
    if (!m_files.OfferToSave() || Ending()) {
        return; // the program goes on, polling again
    }
    // Whatever the answer was, the list has had its chance to be saved.
    m_recovery.Finish(false);
    m_settings.FrameRate = m_list.FrameRate();
    m_settings.InitialDirSave = QDir::toNativeSeparators(FileDialogFolder());
    m_source.Video().SaveSettings();
    m_listFile.SaveSettings(m_screen.ColumnWidths(), m_szIniPath, &m_settings);
    m_vtrLink.VtrClose();
    pause.Dismiss();
    m_polling.End();
    m_screen.EndWindow();
}

void Session::OnEndRequest() {
    if (Ending()) {
        return;
    }
    // Text being typed into a cell is stored as Enter would store it, so the copy holds it.
    m_screen.CommitEdit();
    m_polling.KillTimer(m_polling.Timer());
    m_recovery.Finish(m_list.IsModified());
    m_settings.FrameRate = m_list.FrameRate();
    m_settings.InitialDirSave = QDir::toNativeSeparators(FileDialogFolder());
    m_source.Video().SaveSettings();
    m_listFile.SaveSettings(m_screen.ColumnWidths(), m_szIniPath, &m_settings);
    m_vtrLink.VtrClose();
    m_polling.End();
    m_screen.EndWindow();
}
