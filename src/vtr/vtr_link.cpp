#include "vtr/vtr_link.h"

#include "vtr/serial_port.h"

#include <QDeadlineTimer>

#include <cstring>
#include <memory>
#include <string>

SerialPort* g_hPort = nullptr;
int g_nVtrType = VTR_SONY;
unsigned char g_sendBuf[VTR_BUF_SIZE] = {};
unsigned char g_recvBuf[VTR_BUF_SIZE] = {};

namespace {

// Owns what g_hPort shows.
std::unique_ptr<SerialPort> g_port;

void SetPort(std::unique_ptr<SerialPort> port) {
    g_port = std::move(port);
    g_hPort = g_port.get();
}

// The same for both protocols: a read of n bytes waits at most 5 × n + 120 ms.
constexpr CommTimeouts kTimeouts = {0, 5, 120, 5, 120};

// The port last chosen, kept so that polling can win it back by itself: a USB adapter
// pulled out and plugged in again, or a VTR simulator restarted, comes back without the
// operator choosing the port again. At most one attempt a second, so an absent port costs
// nothing noticeable.
constexpr int kReopenIntervalMs = 1000;
struct Chosen {
    bool wanted = false;
    std::string name;
    int baudRate = 0;
    bool oddParity = false;
    QDeadlineTimer nextAttempt;
} g_chosen;

std::unique_ptr<SerialPort> OpenConfigured(const char* portName, int baudRate, bool oddParity) {
    std::unique_ptr<SerialPort> port = SerialPort::Open(portName);
    if (port == nullptr)
        return nullptr;
    // None of these results is looked at: a pseudo-terminal refuses the modem lines and
    // still carries the data.
    port->Purge();
    port->SetTimeouts(kTimeouts);
    LineSettings line;
    port->GetLine(&line);
    line.baudRate = baudRate;
    line.dataBits = QSerialPort::Data8;
    line.parity = oddParity ? QSerialPort::OddParity : QSerialPort::NoParity;
    line.stopBits = QSerialPort::OneStop;
    line.flowControl = QSerialPort::NoFlowControl;
    line.dtr = true;
    line.rts = true;
    port->SetLine(line);
    port->Purge();
    return port;
}

// Lets go of a port that has gone away and, once a second, tries the chosen one again.
void RecoverPort() {
    if (!g_chosen.wanted)
        return;
    if (g_hPort != nullptr && !g_hPort->IsGone())
        return;
    if (!g_chosen.nextAttempt.hasExpired())
        return;
    g_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    SetPort(nullptr); // a vanished device takes no DTR or purge
    SetPort(OpenConfigured(g_chosen.name.c_str(), g_chosen.baudRate, g_chosen.oddParity));
    if (g_hPort != nullptr) {
        std::memset(g_sendBuf, 0, sizeof g_sendBuf);
        std::memset(g_recvBuf, 0, sizeof g_recvBuf);
    }
}

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
    RecoverPort();
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
    g_chosen.wanted = portName != nullptr && *portName != '\0';
    g_chosen.name = portName != nullptr ? portName : "";
    g_chosen.baudRate = baudRate;
    g_chosen.oddParity = oddParity;
    g_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    SetPort(OpenConfigured(portName, baudRate, oddParity));
    return g_hPort != nullptr ? 1 : 0;
}

void VtrClosePort() {
    g_chosen.wanted = false;
    if (g_hPort == nullptr)
        return;
    // DTR goes down before the port is let go, so the far end sees the link end.
    g_hPort->ClearDtr();
    g_hPort->Purge();
    SetPort(nullptr);
}
