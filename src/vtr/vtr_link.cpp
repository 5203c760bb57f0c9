#include "vtr/vtr_link.h"

#include "vtr/serial_port.h"

#include <cstring>

SerialPort* g_hPort = nullptr;
int g_nVtrType = VTR_SONY;
unsigned char g_sendBuf[VTR_BUF_SIZE] = {};
unsigned char g_recvBuf[VTR_BUF_SIZE] = {};

namespace {

// The same for both protocols: a read of n bytes waits at most 5 × n + 120 ms.
constexpr CommTimeouts kTimeouts = {0, 5, 120, 5, 120};

} // namespace

int VtrOpen(const char* portName, int vtrType) {
    // Stored before the open, so that a failed open still switches the exchanges over.
    g_nVtrType = vtrType;
    if (vtrType == VTR_VICTOR)
        return VictorOpen(portName);
    return SonyOpen(portName);
}

void VtrClose() {
    if (g_nVtrType == VTR_VICTOR)
        VictorClose();
    else
        SonyClose();
}

int VtrReadTimecode(char* timecode) {
    if (g_nVtrType == VTR_VICTOR)
        return VictorReadTimecode(timecode);
    return SonyReadTimecode(timecode);
}

int VtrOpenPort(const char* portName, int baudRate, bool oddParity) {
    std::memset(g_sendBuf, 0, sizeof g_sendBuf);
    std::memset(g_recvBuf, 0, sizeof g_recvBuf);
    // An open port is let go first, so choosing it again from the menu reopens it; a failed
    // open then leaves no port at all.
    VtrClosePort();
    g_hPort = SerialPort::Open(portName);
    if (g_hPort == nullptr)
        return 0;
    // None of these results is looked at: a pseudo-terminal refuses the modem lines and
    // still carries the data.
    g_hPort->Purge();
    g_hPort->SetTimeouts(kTimeouts);
    LineSettings line;
    g_hPort->GetLine(&line);
    line.baudRate = baudRate;
    line.dataBits = QSerialPort::Data8;
    line.parity = oddParity ? QSerialPort::OddParity : QSerialPort::NoParity;
    line.stopBits = QSerialPort::OneStop;
    line.flowControl = QSerialPort::NoFlowControl;
    line.dtr = true;
    line.rts = true;
    g_hPort->SetLine(line);
    g_hPort->Purge();
    return 1;
}

void VtrClosePort() {
    if (g_hPort == nullptr)
        return;
    // DTR goes down before the port is let go, so the far end sees the link end.
    g_hPort->ClearDtr();
    g_hPort->Purge();
    delete g_hPort;
    g_hPort = nullptr;
}
