#pragma once

#include "sources/serial_line.h"
#include "sources/timecode_source.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The keys of a source's own section of the settings file ([LTC] Channel=...), read afresh on
// each choice: a number, or the given default when the key is missing.
using SourceSetting = std::function<int(const char* key, int def)>;

// What a source is given when it is made: the serial line every deck shares, the counting
// the list reads a deck's labels at (changed in place by the link), and its settings.
struct SourceContext {
    SerialLine& line;
    const TimecodeRate& deckRate;
    const SourceSetting& setting;
};

// One timecode source the operator can choose: a row is all a new source needs besides its
// own files. Its device is a serial port when section is null (COM1 to COM5 from the menu),
// else the deviceKey of that settings section. A source with no make is made by whoever
// chooses it (a video file: its player is a module loaded only then, and a file is chosen in
// a dialog).
struct SourceRow {
    int vtrType;           // the value VtrType keeps in default.ini
    int commandId;         // its item in the communication menu
    const char* menuText;  // UTF-8
    bool separatorBefore;  // a separator above its menu item
    const char* caption;   // the label before the timecode: VITC, LTC, MTC, FILE
    const char* section;   // the settings section naming its device; null for a serial port
    const char* deviceKey; // the key in that section naming it
    const char* noDevice;  // the device when the section names none
    std::unique_ptr<TimecodeSource> (*make)(const SourceContext& context);
};

// Every source, in the order of the menu.
const std::vector<SourceRow>& SourceRows();

// The row of a VtrType value; any value no row has is a Sony deck, as it always was.
const SourceRow& SourceRowOf(int vtrType);
