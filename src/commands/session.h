#pragma once

#include "commands/exchange_commands.h"
#include "commands/file_commands.h"
#include "commands/grid_file.h"
#include "commands/list_commands.h"
#include "commands/polling.h"
#include "commands/print_commands.h"
#include "commands/source_commands.h"
#include "commands/transport_commands.h"
#include "list/spot_list.h"
#include "persist/app_settings.h"
#include "recovery/recovery_keeper.h"
#include "sources/vtr_link.h"

#include <QString>

class Screen;

// One run of the program, apart from its window: the settings, the list and its file, the
// timecode source and its polling, the recovery copy, and the commands that work on them,
// each given only the parts it needs. The window owns it and shows what it asks.
class Session {
public:
    explicit Session(Screen& screen);

    // Start-up in the working folder cwd: the settings from default.ini there, the list, its
    // recovery copy, the source and its polling.
    void Start(const QString& cwd);
    // A list that a crash, a kill or a power cut left unsaved comes back if the operator wants
    // it: asked once, with the window shown.
    void OfferRecovery();
    // Exit and closing the window: asks about a modified list; a cancelled or failed save
    // keeps the program running. Else the settings are written and the window ends.
    void OnClose();
    // Asked to end from outside (a signal, a logout): as Exit, but without asking, since
    // nobody may be there to answer. An unsaved list stays in its recovery copy.
    void OnEndRequest();
    bool Ending() const { return m_polling.Ending(); }
    // After a change of language: the notes that stay until something changes are shown
    // again in it. The transport's and the source rate's follow at the next poll.
    void ShowTextsAgain();
    // The operator's language ("ja", "en"), written to default.ini at once.
    void KeepLanguage(const QString& key);

    AppSettings& Settings() { return m_settings; }
    const QString& IniPath() const { return m_szIniPath; }
    const QString& HelpPath() const { return m_szHelpPath; }
    SpotList& List() { return m_list; }
    CGridFile& ListFile() { return m_listFile; }
    VtrLink& Link() { return m_vtrLink; }
    Polling& Poll() { return m_polling; }
    RecoveryKeeper& Recovery() { return m_recovery; }

    ListCommands& ListCommand() { return m_listCommands; }
    SourceCommands& Source() { return m_source; }
    FileCommands& Files() { return m_files; }
    ExchangeCommands& Exchange() { return m_exchange; }
    PrintCommands& Print() { return m_print; }
    TransportCommands& TransportCommand() { return m_transport; }

private:
    void FollowRate(const SignalRate& rate, bool chosen);

    Screen& m_screen;
    QString m_szIniPath;
    QString m_szHelpPath;
    AppSettings m_settings;
    CGridFile m_listFile;
    SpotList m_list;
    VtrLink m_vtrLink; // open from Start until the program ends
    Polling m_polling;
    RecoveryKeeper m_recovery; // the list's recovery copy beside default.ini

    SourceCommands m_source;
    ListCommands m_listCommands;
    FileCommands m_files;
    ExchangeCommands m_exchange;
    PrintCommands m_print;
    TransportCommands m_transport;
};
