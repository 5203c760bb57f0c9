#pragma once

#include "vtr/serial_line.h"
#include "vtr/timecode_source.h"

// A VTR protocol spoken over a serial line held elsewhere. The VTR link gives both protocols
// its one line, so there is never more than one port open.
class SerialSource final : public TimecodeSource {
public:
    // rate: the counting the deck's labels are read at, as the list counts; the link changes
    // it in place.
    SerialSource(SerialLine& line, const SerialProtocol& protocol, const TimecodeRate& rate)
        : m_line(line), m_protocol(protocol), m_rate(rate) {}

    // Clears both buffers, lets go of the open port, and opens the device with the protocol's
    // line settings.
    int Open(const char* device) override;
    // Lowers DTR and lets go of the port.
    void Close() override;
    bool IsOpen() const override;
    Timecode ReadTimecode() override;

private:
    SerialLine& m_line;
    SerialProtocol m_protocol;
    const TimecodeRate& m_rate;
};

// A deck's eight characters HHMMSSFF as a time at the list's rate. A deck that counts
// non-drop while the list counts drop-frame sends labels drop-frame skips: they are read
// non-drop, so that the label shown and captured is the one the deck sent. Anything that is no
// label at all (a digit beyond 9, a frame the rate has not) is no reading.
Timecode DeckTimecode(const char* digits, TimecodeRate rate);
