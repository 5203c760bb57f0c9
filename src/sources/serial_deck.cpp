#include "sources/serial_deck.h"

#include <cstring>
#include <string_view>

namespace {

// The same for both protocols: a read of n bytes waits at most 5 × n + 120 ms.
constexpr CommTimeouts kTimeouts = {0, 5, 120, 5, 120};

} // namespace

int SerialDeck::Open(const char* device) {
    std::memset(m_line.sendBuf, 0, sizeof m_line.sendBuf);
    std::memset(m_line.recvBuf, 0, sizeof m_line.recvBuf);
    // Let go first: the device may be this very one, which its own lock would refuse.
    Close();
    std::unique_ptr<SerialPort> port = SerialPort::Open(device);
    if (port == nullptr)
        return 0;
    // None of these results is looked at: a pseudo-terminal refuses the modem lines and
    // still carries the data.
    port->Purge();
    port->SetTimeouts(kTimeouts);
    LineSettings line;
    port->GetLine(&line);
    line.baudRate = m_protocol.baudRate;
    line.dataBits = QSerialPort::Data8;
    line.parity = m_protocol.oddParity ? QSerialPort::OddParity : QSerialPort::NoParity;
    line.stopBits = QSerialPort::OneStop;
    line.flowControl = QSerialPort::NoFlowControl;
    line.dtr = true;
    line.rts = true;
    port->SetLine(line);
    port->Purge();
    port->SetCancel(m_cancel);
    m_line.port = std::move(port);
    return 1;
}

void SerialDeck::Close() {
    if (m_line.port == nullptr)
        return;
    // DTR goes down before the port is let go, so the far end sees the link end. A vanished
    // device takes no DTR or purge.
    if (!m_line.port->IsGone()) {
        m_line.port->ClearDtr();
        m_line.port->Purge();
    }
    m_line.port.reset();
}

bool SerialDeck::IsOpen() const {
    return m_line.port != nullptr && !m_line.port->IsGone();
}

int SerialDeck::ReadDigits(char* digits) {
    // The Victor query writes only the eight characters: the ninth is ours to end.
    digits[8] = '\0';
    return m_protocol.readTimecode(m_line, digits);
}

Timecode DeckTimecode(const char* digits, TimecodeRate rate) {
    const std::string_view text(digits, 8);
    const Timecode time = Timecode::FromDigits(text, rate);
    if (time || !rate.drop)
        return time;
    return Timecode::FromDigits(text, TimecodeRate{rate.fps, false});
}
