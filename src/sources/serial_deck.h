#pragma once

#include "sources/serial_line.h"
#include "timecode/timecode_value.h"

#include <atomic>

// A VTR protocol spoken over a serial line, one exchange at a time, on the caller's thread:
// what the polling worker runs. The line may be shared with the other protocol's deck, so that
// there is never more than one port open. Results are 1 for success and 0 for failure.
class SerialDeck {
public:
    SerialDeck(SerialLine& line, const SerialProtocol& protocol)
        : m_line(line), m_protocol(protocol) {}

    // Clears both buffers, lets go of the open port, and opens the device with the protocol's
    // line settings.
    int Open(const char* device);
    // Lowers DTR and lets go of the port.
    void Close();
    // Whether a port is held that has not gone away.
    bool IsOpen() const;
    // One request and reply: the deck's eight characters HHMMSSFF and a terminating zero into
    // digits; 1 for a reading, 0 for a failure (no port, no answer, a wrong one).
    int ReadDigits(char* digits);

    SerialLine& Line() { return m_line; }
    // A flag that cuts the exchange in progress short once raised (see SerialPort::SetCancel);
    // given to every port this deck opens. Null for none.
    void SetCancel(const std::atomic<bool>* cancel) { m_cancel = cancel; }

private:
    SerialLine& m_line;
    SerialProtocol m_protocol;
    const std::atomic<bool>* m_cancel = nullptr;
};

// A deck's eight characters HHMMSSFF as a time at the list's rate. A deck that counts
// non-drop while the list counts drop-frame sends labels drop-frame skips: they are read
// non-drop, so that the label shown and captured is the one the deck sent. Anything that is no
// label at all (a digit beyond 9, a frame the rate has not) is no reading.
Timecode DeckTimecode(const char* digits, TimecodeRate rate);
