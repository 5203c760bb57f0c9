#pragma once

#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/serial_line.h"
#include "sources/serial_source.h"

#include <QDeadlineTimer>

#include <optional>
#include <string>

constexpr int VTR_SONY = 0;
constexpr int VTR_VICTOR = 1;
constexpr int VTR_LTC = 2; // LTC audio from a sound card input
constexpr int VTR_MTC = 3; // MIDI timecode from a MIDI input; any other value selects Sony

// The VTR link: the one owner of the serial line (the open port and its two transfer
// buffers) and of the timecode inputs, which reads the tape's time through the source of the
// chosen VTR type. Every source reads on a worker of its own (the Sony and Victor exchanges
// too), so no call here waits on a device, except the open, which waits for the port to be
// opened. Results are 1 for success and 0 for failure.
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
    // The latest reading of the chosen source, as the display shows it; no timecode when it
    // had none.
    Timecode VtrReadTimecode();
    // The frame under the head at a moment on the steady clock (a key press), without I/O; see
    // TimecodeSource::TimecodeAt. Nothing when the source has nothing beyond its latest
    // reading to go on.
    std::optional<Timecode> VtrTimecodeAt(int64_t steadyNs);
    // As VtrTimecodeAt, at this moment, no timecode for nothing.
    Timecode VtrLatestTimecode();
    // Stops the deck being asked (no request, no reopening) until called with false: no
    // request may reach the VTR while a modal box is up. Holds for whichever type is opened
    // meanwhile.
    void VtrPausePolling(bool paused);
    // The list's rate: a deck's labels are read at it, and an LTC or MTC source of another
    // frames a second gives no reading.
    void SetDeckRate(TimecodeRate rate);
    // The rate an LTC or MTC source is heard at, while it sends timecode; nothing for a deck.
    std::optional<SignalRate> VtrHeardRate() const;
    // The LTC input's channel, counted from 1, for the next open.
    void SetLtcChannel(int channel) { m_ltc.SetChannel(channel); }

    // The type given to the last VtrOpen, even one that failed.
    int VtrType() const { return m_nVtrType; }
    // Whether the chosen source holds a device that has not gone away.
    bool VtrIsOpen() const { return Source().IsOpen(); }
    // Exchanges with the chosen deck since it was opened; 0 for LTC and MTC.
    int VtrPolls() const;

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
    // operator choosing the port again. The decks' workers do this themselves.
    struct Chosen {
        bool wanted = false;
        std::string device;
        QDeadlineTimer nextAttempt;
    } m_chosen;
};
