#pragma once

// One VTR protocol over a serial line, asked on the test's own thread exactly as the polling
// worker asks: the exchanges, the line settings and the buffers, without the worker around
// them.
#include "sources/serial_deck.h"
#include "sources/sony9pin.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"

#include <memory>

class LineUnderTest {
public:
    ~LineUnderTest() { Close(); }

    // Lets go of the port, then opens the device with the line settings of the VTR type (any
    // type but Victor speaks Sony): 1 for success.
    int Open(const char* device, int vtrType) {
        Close();
        m_deck =
            std::make_unique<SerialDeck>(m_line, vtrType == VTR_VICTOR ? VICTOR_SA_K37 : SONY_9PIN);
        return m_deck->Open(device);
    }
    void Close() {
        if (m_deck)
            m_deck->Close();
    }
    // One exchange, its reply read at 30 frames drop-frame; no timecode for a failure.
    Timecode Read() {
        char digits[9] = {};
        if (!m_deck || m_deck->ReadDigits(digits) != 1)
            return Timecode();
        return DeckTimecode(digits, TimecodeRate::Thirty(true));
    }
    SerialLine& Line() { return m_line; }
    SerialPort* Port() const { return m_line.port.get(); }

private:
    SerialLine m_line;
    std::unique_ptr<SerialDeck> m_deck;
};
