#pragma once

class CGridFile;
class Polling;
class Screen;
class SpotList;

// Printing the list, on any printer or to a PDF file.
class PrintCommands {
public:
    PrintCommands(const SpotList& list, const CGridFile& listFile, Screen& screen,
                  Polling& polling);

    void OnFilePrint();
    void PrintList();

private:
    const SpotList& m_list;
    const CGridFile& m_listFile;
    Screen& m_screen;
    Polling& m_polling;
};
