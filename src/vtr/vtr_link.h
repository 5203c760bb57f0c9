#pragma once

#include "vtr/ltc_source.h"
#include "vtr/mtc_source.h"
#include "vtr/serial_line.h"
#include "vtr/serial_source.h"

#include <QDeadlineTimer>

#include <string>

constexpr int VTR_SONY = 0;
constexpr int VTR_VICTOR = 1;
constexpr int VTR_LTC = 2; // LTC audio from a sound card input
constexpr int VTR_MTC = 3; // MIDI timecode from a MIDI input; any other value selects Sony

// The VTR link: the one owner of the serial line (the open port and its two transfer
// buffers) and of the timecode inputs, which reads the tape's time through the source of the
// chosen VTR type. Every serial exchange runs on the caller's thread, the user-interface
// thread; LTC and MTC are read on workers of their own and only looked at from here. Results
// are 1 for success and 0 for failure.
class VtrLink {
public:
    VtrLink();
    // Closes as VtrClose does, so the far end sees the link end.
    ~VtrLink();

    VtrLink(const VtrLink&) = delete;
    VtrLink& operator=(const VtrLink&) = delete;

    // portName: the serial device, or for LTC and MTC the input device.
    int VtrOpen(const char* portName, int vtrType);
    void VtrClose();
    // One reading of the chosen source; no timecode when it had none.
    Timecode VtrReadTimecode();
    // Whether the chosen source can tell the time of this very moment without I/O, and that
    // time; see TimecodeSource::LatestTimecode.
    bool VtrHoldsLatestTimecode() const;
    Timecode VtrLatestTimecode();
    // The counting a deck's labels are read at: the list's.
    void SetDeckRate(TimecodeRate rate) { m_deckRate = rate; }
    // The LTC input's channel, counted from 1, for the next open.
    void SetLtcChannel(int channel) { m_ltc.SetChannel(channel); }

    // The type given to the last VtrOpen, even one that failed.
    int VtrType() const { return m_nVtrType; }
    // The open port, null while none is.
    SerialPort* Port() const { return m_line.port.get(); }
    // The port and buffers as the protocol exchanges see them.
    SerialLine& Line() { return m_line; }

private:
    TimecodeSource& Source();
    const TimecodeSource& Source() const;
    void RecoverSource();

    SerialLine m_line;
    TimecodeRate m_deckRate = TimecodeRate::Thirty(true);
    SerialSource m_sony;
    SerialSource m_victor;
    LtcSource m_ltc;
    MtcSource m_mtc;
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
