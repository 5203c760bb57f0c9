#pragma once

#include "sources/serial_line.h"
#include "sources/sony9pin.h"
#include "sources/source_table.h"
#include "sources/timecode_source.h"

#include <QDeadlineTimer>

#include <memory>
#include <optional>
#include <string>

// The VTR link: the one owner of the serial line (the open port and its two transfer
// buffers) and of the chosen timecode source, made from its row of the sources table, which
// reads the tape's time. Every source reads on a worker of its own (the Sony and Victor
// exchanges too), so no call here waits on a device, except the open, which waits for the
// port to be opened. Results are 1 for success and 0 for failure.
class VtrLink {
public:
    VtrLink();
    // Closes as VtrClose does, so the far end sees the link end.
    ~VtrLink();

    VtrLink(const VtrLink&) = delete;
    VtrLink& operator=(const VtrLink&) = delete;

    // portName: the serial device, or the input device of a source that hears its own time.
    // setting: the source's own settings section, read afresh on every choice. made: the
    // source, for a type whose row makes none (the link makes the others); without it such a
    // type holds a source that reads nothing.
    int VtrOpen(const char* portName, int vtrType, const SourceSetting& setting = {},
                std::unique_ptr<TimecodeSource> made = nullptr);
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
    // The rate a source carrying its own time is heard at, while it sends timecode, or a
    // deck's tape runs at, when it is not the list's (see TimecodeSource::HeardRate).
    std::optional<SignalRate> VtrHeardRate() const { return m_source->HeardRate(); }
    // What keeps the chosen source's device from being read, naming the source and the device,
    // for the timecode line: "LTC /x/ltc.raw がありません", "LTC hw:1,0 を開けません".
    std::optional<std::string> VtrDeviceProblem() const;
    // What moves the picture, when the chosen source can be driven.
    Transport* VtrTransport() { return m_source->GetTransport(); }

    // The type given to the last VtrOpen, even one that failed.
    int VtrType() const { return m_nVtrType; }
    // The source itself, as made for the last open.
    TimecodeSource& VtrSourceObject() { return *m_source; }
    // Its row of the sources table.
    const SourceRow& VtrSource() const { return SourceRowOf(m_nVtrType); }
    // Whether the chosen source holds a device that has not gone away.
    bool VtrIsOpen() const { return m_source->IsOpen(); }
    // Exchanges with the chosen deck since it was opened; 0 for a source that only listens.
    int VtrPolls() const { return m_source->Polls(); }

private:
    void RecoverSource();

    SerialLine m_line;
    TimecodeRate m_deckRate = TimecodeRate::Thirty(true);
    std::unique_ptr<TimecodeSource> m_source;
    int m_nVtrType = VTR_SONY;
    bool m_paused = false;

    // The device last chosen, kept so that polling can win it back by itself: a USB adapter
    // pulled out and plugged in again, or a VTR simulator restarted, comes back without the
    // operator choosing the port again. The decks' workers do this themselves.
    struct Chosen {
        bool wanted = false;
        std::string device;
        QDeadlineTimer nextAttempt;
    } m_chosen;
};
