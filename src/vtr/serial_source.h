#pragma once

#include "vtr/serial_line.h"
#include "vtr/timecode_source.h"

// A VTR protocol spoken over a serial line held elsewhere. The VTR link gives both protocols
// its one line, so there is never more than one port open.
class SerialSource final : public TimecodeSource {
public:
    SerialSource(SerialLine& line, const SerialProtocol& protocol)
        : m_line(line), m_protocol(protocol) {}

    // Clears both buffers, lets go of the open port, and opens the device with the protocol's
    // line settings.
    int Open(const char* device) override;
    // Lowers DTR and lets go of the port.
    void Close() override;
    bool IsOpen() const override;
    int ReadTimecode(char* timecode) override { return m_protocol.readTimecode(m_line, timecode); }

private:
    SerialLine& m_line;
    SerialProtocol m_protocol;
};
