#pragma once

#include "sources/deck_readings.h"
#include "sources/serial_deck.h"
#include "sources/timecode_source.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

class QThread;

// A deck asked ten times a second.
constexpr int VTR_POLL_INTERVAL_MS = 100;
// A port that cannot be opened, or went away, is tried again this often.
constexpr int VTR_REOPEN_INTERVAL_MS = 1000;

// A VTR protocol spoken over a serial line, on a worker thread of its own, so that no caller
// ever waits on the line. The worker opens the port, asks for the time every 100 ms while
// polling is on (at once again when a silent deck's time-out has taken longer), tries a lost
// port again once a second, and keeps its readings dated on the steady clock. Callers only
// look at those. The VTR link gives both protocols its one line; it opens one at a time, so
// there is never more than one port open.
class SerialSource final : public TimecodeSource {
public:
    // rate: the counting the deck's labels are read at, as the list counts; the link changes
    // it in place, on the thread that reads.
    SerialSource(SerialLine& line, const SerialProtocol& protocol, const TimecodeRate& rate);
    ~SerialSource() override;

    SerialSource(const SerialSource&) = delete;
    SerialSource& operator=(const SerialSource&) = delete;

    // Lets go of the port, then starts the worker on the device and returns once it has
    // tried to open it: 1 when it did, 0 when it could not (it tries again once a second);
    // 0 for an empty name, which starts nothing.
    int Open(const char* device) override;
    // Stops the worker, cutting an exchange in progress short, and lets go of the port
    // (DTR down first).
    void Close() override;
    bool IsOpen() const override { return m_portOpen.load(); }
    bool ReopensByItself() const override { return true; }
    Timecode ReadTimecode() override;
    bool HoldsLatestTimecode() const override { return true; }
    Timecode LatestTimecode() override;
    std::optional<Timecode> TimecodeAt(int64_t steadyNs) override;
    // While paused the worker sends nothing and opens nothing; an exchange under way ends as
    // it would. The first request after the pause goes out 100 ms after it ends. Kept across
    // opens.
    void PausePolling(bool paused) override;

    // Exchanges made since the last open: how a test or a benchmark sees the worker at work.
    int Polls() const override { return m_polls.load(); }

private:
    void Run(const std::string& device);
    std::vector<DeckReading> Readings() const;

    SerialLine& m_line;
    SerialProtocol m_protocol;
    const TimecodeRate& m_rate;

    std::unique_ptr<QThread> m_worker;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // Under m_mutex: what the caller asks of the worker, and what the worker tells.
    bool m_paused = false;
    bool m_opened = false; // the worker has tried its first open
    int m_openResult = 0;
    std::deque<DeckReading> m_readings; // oldest first; empty while no port is held
    // Read by the port itself while it waits, so set apart from the lock.
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_portOpen{false};
    std::atomic<int> m_polls{0};
};
