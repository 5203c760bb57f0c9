#pragma once

#include "formats/list_export.h"

class CGridFile;
class FileCommands;
class Polling;
class Screen;
class SpotList;

// Lists for other programs and from them: the exports write a file for another program (the
// list's own file and its modified state stay as they are); an import replaces the list
// shown, as Open does, but as one step that undo takes back, and with no file of its own
// until it is saved.
class ExchangeCommands {
public:
    ExchangeCommands(SpotList& list, CGridFile& listFile, FileCommands& files, Screen& screen,
                     Polling& polling);

    void ExportTo(const InterchangeFormat& format);
    void OnFileImport();

private:
    SpotList& m_list;
    CGridFile& m_listFile;
    FileCommands& m_files;
    Screen& m_screen;
    Polling& m_polling;
};
