#include "commands/file_commands.h"

#include "commands/grid_file.h"
#include "commands/polling.h"
#include "commands/screen.h"
#include "list/spot_list.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

FileCommands::FileCommands(SpotList& list, CGridFile& listFile, Screen& screen, Polling& polling)
    : m_list(list), m_listFile(listFile), m_screen(screen), m_polling(polling) {
    m_savedNote.setSingleShot(true);
    m_savedNote.setInterval(SAVED_NOTE_MS);
    QObject::connect(&m_savedNote, &QTimer::timeout, [this] { ShowDocument(); });
}

// An empty list at the list's rate, with no file: the rows and the modified list are let go
// only after the question every such command asks.
void FileCommands::OnFileNew() {
    Polling::Pause pause(m_polling);
    if (!OfferToSave()) {
        return;
    }
    m_list.SetUp(m_list.FrameRate());
    m_listFile.SetPath(QString());
    m_screen.ShowFromTop();
    m_screen.FocusList();
    ShowDocument();
}

void FileCommands::OnFileOpen() {
    Polling::Pause pause(m_polling);
    // Opening replaces the list, which undo cannot bring back: a modified one may be saved.
    if (!OfferToSave()) {
        return;
    }
    if (m_listFile.LoadList(m_list, 1) == 1) {
        m_list.MarkSaved();
        // An opened list shows from its first row, whatever was shown before.
        m_list.SetCurrentCell(1, COL_IN);
        m_screen.ShowFromTop();
    }
    {
        // Also after a cancelled or failed open: every duration is recomputed and the
        // deferred step puts the column widths back.
        SpotList::Change change(m_list, ListChange::Load);
        m_list.RecomputeDurations();
    }
    m_screen.ListOpened();
    ShowDocument();
}

void FileCommands::OnFileSaveAs() {
    Polling::Pause pause(m_polling);
    Save(true);
}

// A list saved once, opened from a file or brought back with its file is saved to that file
// from then on; only a list with none asks for a name.
void FileCommands::OnFileSave() {
    Polling::Pause pause(m_polling);
    Save(false);
}

bool FileCommands::Save(bool askName) {
    const bool ask = askName || m_listFile.GetPath().isEmpty();
    if (m_listFile.SaveList(m_list, ask ? 1 : 0) != 1) {
        ShowDocument();
        return false;
    }
    m_list.MarkSaved();
    m_screen.ShowNote(StatusNote::Document,
                      QCoreApplication::translate("FileCommands", "%1 を保存しました")
                          .arg(QFileInfo(m_listFile.GetPath()).fileName()),
                      QDir::toNativeSeparators(m_listFile.GetPath()));
    m_savedNote.start();
    return true;
}

bool FileCommands::OfferToSave() {
    if (!m_list.IsModified()) {
        return true;
    }
    const BoxAnswer answer = TwMessageBox(
        m_screen.Owner(),
        QCoreApplication::translate("FileCommands", "変更されています。保存しますか？"),
        BoxButtons::YesNo);
    if (m_polling.Ending()) {
        return false; // ended from outside while asking
    }
    // Not saved (cancelled or failed): the list stays as it is.
    return answer != BoxAnswer::Yes || Save(false);
}

void FileCommands::ShowDocument() {
    if (m_savedNote.isActive()) {
        if (!m_list.IsModified())
            return; // "saved" stays for its while
        m_savedNote.stop();
    }
    const QString path = m_listFile.GetPath();
    QString text = path.isEmpty() ? QCoreApplication::translate("FileCommands", "新規リスト")
                                  : QFileInfo(path).fileName();
    QString detail = QDir::toNativeSeparators(path);
    if (m_list.IsModified()) {
        text += QStringLiteral(" *");
        detail +=
            (detail.isEmpty() ? QString() : QStringLiteral("\n")) +
            QCoreApplication::translate("FileCommands", "変更されています（保存していません）");
    }
    m_screen.ShowNote(StatusNote::Document, text, detail);
}
