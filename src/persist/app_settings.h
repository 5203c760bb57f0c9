#pragma once

#include "list/list_layout.h"

#include <QString>

// The settings record, kept between runs in default.ini, section "Default". Every field is
// named after its key. Loaded once at start-up, written whole once at exit.
struct AppSettings {
    int WindowWidth = 0; // outer size of the main window in pixels, frame included
    int WindowHeight = 0;
    int Width0 = 0; // grid column widths in twips
    int Width1 = 0;
    int Width2 = 0;
    int Width3 = 0;
    int Width4 = 0;
    int Width5 = 0;
    QString InitialDirSave; // the folder the file dialogs last confirmed a file in
    int FrameCheck = 0;     // least gap in frames between one OUT and the next IN
    int com = 0;            // serial port number, COM1 to COM5 from the menu
    int VtrType = 0;        // the timecode source, by its row of the sources table
    int Drop = 0;           // 1 drop-frame counting, 0 non-drop
    int FrameRate = 30;     // the list's frame rate, 24, 25 or 30 (any other value is 30)
    // Seconds a cue-and-play starts before its frame, 0 to 30; set by hand in the file, so
    // read and never written.
    int Preroll = 5;
    // The operator's language, "ja" or "en"; empty when the key is absent, and then the
    // locale decides and the key is not written.
    QString Language;
};

constexpr int PREROLL_MAX_SECONDS = 30;
constexpr int SETTINGS_MIN_COLUMN_WIDTH = 50; // twips; a narrower column is stored as this
