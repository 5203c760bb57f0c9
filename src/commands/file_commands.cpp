#include "commands/file_commands.h"

#include "commands/grid_file.h"
#include "commands/polling.h"
#include "commands/screen.h"
#include "list/spot_list.h"
#include "platform/message_box.h"

FileCommands::FileCommands(SpotList& list, CGridFile& listFile, Screen& screen, Polling& polling)
    : m_list(list), m_listFile(listFile), m_screen(screen), m_polling(polling) {}

void FileCommands::OnFileOpen() {
    Polling::Pause pause(m_polling);
    // Open replaces the list without asking about unsaved changes.
    if (m_listFile.LoadList(m_list, 1) == 1) {
        m_list.MarkSaved();
    }
    {
        // Also after a cancelled or failed open: every duration is recomputed and the
        // deferred step puts the column widths back.
        SpotList::Change change(m_list, ListChange::Load);
        m_list.RecomputeDurations();
    }
    m_screen.ListOpened();
}

void FileCommands::OnFileSaveAs() {
    Polling::Pause pause(m_polling);
    if (m_listFile.SaveList(m_list, 1) == 1) {
        m_list.MarkSaved();
    }
}

void FileCommands::OnFileSave() {
    Polling::Pause pause(m_polling);
    const int askName = m_listFile.GetPath().isEmpty() ? 1 : 0;
    if (m_listFile.SaveList(m_list, askName) == 1) {
        m_list.MarkSaved();
    }
}

bool FileCommands::OfferToSave() {
    if (!m_list.IsModified()) {
        return true;
    }
    const BoxAnswer answer = TwMessageBox(
        m_screen.Owner(), QStringLiteral("変更されています。保存しますか？"), BoxButtons::YesNo);
    if (m_polling.Ending()) {
        return false; // ended from outside while asking
    }
    if (answer == BoxAnswer::Yes) {
        // Always asks for a name, even when the list came from a file.
        if (m_listFile.SaveList(m_list, 1) != 1) {
            return false; // cancelled or failed: the list stays as it is
        }
        m_list.MarkSaved();
    }
    return true;
}
