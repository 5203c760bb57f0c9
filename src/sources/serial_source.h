#pragma once

#include "sources/deck_readings.h"
#include "sources/serial_deck.h"
#include "sources/timecode_source.h"
#include "sources/transport.h"

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
// A Sony deck's status is sensed this often between the time requests, and this soon after a
// transport command or while a cue is under way, so that what it does shows within a frame
// or three.
constexpr int VTR_STATUS_INTERVAL_MS = 200;
constexpr int VTR_STATUS_SOON_MS = 40;
// A deck that left the status sense unanswered is asked again this much later.
constexpr int VTR_STATUS_SILENT_MS = 1000;
// A cue the deck has not said it finished after this long is given up.
constexpr int VTR_CUE_GIVE_UP_MS = 120000;

// A VTR protocol spoken over a serial line, on a worker thread of its own, so that no caller
// ever waits on the line. The worker opens the port, asks for the time every 100 ms while
// polling is on (at once again when a silent deck's time-out has taken longer), tries a lost
// port again once a second, and keeps its readings dated on the steady clock. Callers only
// look at those. The VTR link gives both protocols its one line; it opens one at a time, so
// there is never more than one port open.
//
// A Sony deck can be driven too: transport requests queue up and go out between the time
// requests, one command on the line at a time, and the deck's status is sensed several times
// a second. The Victor protocol has nothing but its time request, so a Victor deck has no
// transport: codes guessed for one could do anything.
class SerialSource final : public TimecodeSource, public Transport {
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

    // Time requests made since the last open: how a test or a benchmark sees the worker at
    // work.
    int Polls() const override { return m_polls.load(); }

    // The deck's transport, for the Sony protocol only.
    Transport* GetTransport() override;
    // The rate the deck's tape runs at, when its labels or its pace of play show one other
    // than the list's; nothing while they show none, or the list's.
    std::optional<SignalRate> HeardRate() const override;

    // Queued for the worker; a request of the same kind still waiting is dropped for it.
    // Without a worker the answer is silence at once.
    void Request(const TransportRequest& request) override;
    TransportState State() const override;
    // Everything a Sony deck has a command for; nothing for the Victor protocol.
    bool Offers(TransportVerb verb) const override;

private:
    bool SpeaksSony() const;
    void Run(const std::string& device);
    std::vector<DeckReading> Readings() const;
    // Under m_mutex, on the worker: what a time reading, a command's answer and a status tell.
    void NoteRate();
    void NoteAnswer(const TransportRequest& request, int answerKind, int nakBits, double speedSent);
    void NoteStatus(const unsigned char* status);
    void SetState(TransportMode mode, double speed);

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
    std::deque<DeckReading> m_readings;      // oldest first; empty while no port is held
    std::deque<TransportRequest> m_requests; // waiting to go out, oldest first
    TransportState m_state;
    bool m_cueing = false; // a cue went out and the deck has not said it arrived
    bool m_playAfterCue = false;
    bool m_cueLeft = false; // a status since the cue went out said it had not arrived
    Timecode m_cueTarget;
    int64_t m_cueSentNs = 0;
    double m_speed = 0.0;                 // the speed last sent with a jog or shuttle, signed
    std::optional<SignalRate> m_paceRate; // what the deck's pace of play showed last
    std::optional<int> m_labelFps;        // the fewest frames a second its labels need
    // Read by the port itself while it waits, so set apart from the lock.
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_portOpen{false};
    std::atomic<int> m_polls{0};
};
