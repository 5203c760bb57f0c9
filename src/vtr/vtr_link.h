#pragma once

#include "vtr/serial_line.h"
#include "vtr/serial_source.h"

#include <QDeadlineTimer>

#include <string>

constexpr int VTR_SONY = 0;
constexpr int VTR_VICTOR = 1; // any other value selects Sony

// The VTR link: the one owner of the serial line (the open port and its two transfer
// buffers), which reads the tape's time through the source of the chosen VTR type. Every
// exchange runs on the caller's thread, the user-interface thread. Results are 1 for success
// and 0 for failure.
class VtrLink {
public:
    VtrLink();
    // Closes as VtrClose does, so the far end sees the link end.
    ~VtrLink();

    VtrLink(const VtrLink&) = delete;
    VtrLink& operator=(const VtrLink&) = delete;

    int VtrOpen(const char* portName, int vtrType);
    void VtrClose();
    // timecode: nine characters, HHMMSSFF and a terminating zero; the caller zeroes them
    // first.
    int VtrReadTimecode(char* timecode);

    // The type given to the last VtrOpen, even one that failed.
    int VtrType() const { return m_nVtrType; }
    // The open port, null while none is.
    SerialPort* Port() const { return m_line.port.get(); }
    // The port and buffers as the protocol exchanges see them.
    SerialLine& Line() { return m_line; }

private:
    TimecodeSource& Source();
    void RecoverSource();

    SerialLine m_line;
    SerialSource m_sony;
    SerialSource m_victor;
    int m_nVtrType = VTR_SONY;

    // The device last chosen, kept so that polling can win it back by itself: a USB adapter
    // pulled out and plugged in again, or a VTR simulator restarted, comes back without the
    // operator choosing the port again.
    struct Chosen {
        bool wanted = false;
        std::string device;
        QDeadlineTimer nextAttempt;
    } m_chosen;
};
