#pragma once

#include "timecode/timecode_value.h"

// Where the tape's time comes from. The VTR link holds one for each VTR type, opens the chosen
// one on its device, reads it once a polling tick and, while it is lost, opens it again.
// Results of Open are 1 for success and 0 for failure; a reading is a Timecode, none when the
// source had nothing to tell.
class TimecodeSource {
public:
    virtual ~TimecodeSource() = default;

    // Lets go of any device held, then takes this one.
    virtual int Open(const char* device) = 0;
    // Lets go of the device on purpose; nothing when none is held.
    virtual void Close() = 0;
    // Whether a device is held that has not gone away.
    virtual bool IsOpen() const = 0;
    // One reading.
    virtual Timecode ReadTimecode() = 0;

    // A source whose signal brings its time by itself keeps the latest, and can tell the time
    // of any moment without I/O: a capture asks it at the key press instead of taking the
    // last tick's reading. Serial sources answer only when asked, so they offer nothing.
    virtual bool HoldsLatestTimecode() const { return false; }
    // As ReadTimecode, at this moment.
    virtual Timecode LatestTimecode() { return Timecode(); }
};
