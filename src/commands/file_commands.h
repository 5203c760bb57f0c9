#pragma once

class CGridFile;
class Polling;
class Screen;
class SpotList;

// Open, Save and Save As, and the question every command that lets go of a modified list
// asks first. Each stops polling first and starts it again as its last step, whatever
// happened in between, so no VTR poll runs while a file dialog or message box is open.
class FileCommands {
public:
    FileCommands(SpotList& list, CGridFile& listFile, Screen& screen, Polling& polling);

    void OnFileOpen();
    void OnFileSaveAs();
    void OnFileSave();

    // Asks whether to save a modified list before it is let go, and saves it when told to.
    // True: go on (nothing to save, saved, or not wanted); false: stay, the list as it is (the
    // save was cancelled or failed, or the program is being ended from outside meanwhile).
    bool OfferToSave();

private:
    SpotList& m_list;
    CGridFile& m_listFile;
    Screen& m_screen;
    Polling& m_polling;
};
