#pragma once

#include <QTimer>

class CGridFile;
class Polling;
class Screen;
class SpotList;

// New, Open, Save and Save As, the question every command that lets go of a modified list
// asks first, and the note naming the list's file and whether it is saved. Each stops polling
// first and starts it again as its last step, whatever happened in between, so no VTR poll
// runs while a file dialog or message box is open.
class FileCommands {
public:
    FileCommands(SpotList& list, CGridFile& listFile, Screen& screen, Polling& polling);

    void OnFileNew();
    void OnFileOpen();
    void OnFileSaveAs();
    void OnFileSave();

    // Asks whether to save a modified list before it is let go, and saves it when told to:
    // to its file, or under a name asked for when it has none. True: go on (nothing to save,
    // saved, or not wanted); false: stay, the list as it is (the save was cancelled or failed,
    // or the program is being ended from outside meanwhile).
    bool OfferToSave();

    // Shows which list is open and whether it differs from its file.
    void ShowDocument();

private:
    // Saves, asking for a name when told to or when the list has none; true when written.
    bool Save(bool askName);

    SpotList& m_list;
    CGridFile& m_listFile;
    Screen& m_screen;
    Polling& m_polling;
    // How long "saved" shows before the note goes back to naming the list.
    QTimer m_savedNote;
};

constexpr int SAVED_NOTE_MS = 3000;
