#pragma once

#include "timecode/timecode_rate.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// The VTR side of the serial line: takes the bytes Tarnwick sends and produces what a Sony
// 9-pin VTR or a Victor SA-K37 controller would answer, or, when told to, what a faulty one
// would. No I/O here; the serving loop (serve.h) moves the bytes.
namespace vtrsim {

enum class Protocol { Sony, Victor };

// How the timecode replies go wrong. Nak and BadChecksum exist only in the Sony protocol.
enum class Fault { None, Silent, Nak, BadChecksum, Short, Long, Garbage };

// The tape under the head: runs in real time from its start label, or stands still. Its
// labels count fps frames a second (24, 25 or 30), at 30 drop-frame or not. Drop-frame tape
// runs at 29.97 frames a second, as NTSC tape does; pulled down, 24 runs at 23.976 (film
// transferred to NTSC video) and 30 non-drop at 29.97; otherwise a second holds fps frames.
struct TapeClock {
    int startFrames = 0; // frame count of the start label at the tape's rate
    int fps = 30;
    bool drop = true; // at 30 only
    bool pullDown = false;
    bool running = true;

    TimecodeRate Rate() const {
        const TimecodeRate rate{fps, drop};
        return TimecodeRate{rate.Fps(), rate.DropFrame()};
    }
    // Whether a frame lasts 1001/1000 of 1/fps seconds.
    bool Slowed() const { return Rate().DropFrame() || (pullDown && Rate().Fps() != 25); }
    // Frames gone by elapsedNs after the start: 0 for a still tape.
    int64_t FramesAfter(int64_t elapsedNs) const;
    // Label of the frame under the head elapsedMs after the start; wraps after 24 hours.
    void LabelAt(int64_t elapsedMs, int* hours, int* minutes, int* seconds, int* frames) const;
    // The same to the nanosecond: a frame begins between two milliseconds as often as not.
    void LabelAtNs(int64_t elapsedNs, int* hours, int* minutes, int* seconds, int* frames) const;
};

struct ResponderConfig {
    Protocol protocol = Protocol::Sony;
    TapeClock tape;
    Fault fault = Fault::None;
    int faultEvery = 1; // the fault hits every n-th timecode request; 1 is every one
    // When not empty: sent as it is in answer to every timecode request, instead of the time.
    std::vector<uint8_t> fixedReply;
    // The deck's remote switch is off: it answers and reports, and moves for nobody.
    bool local = false;
};

class TapeMotion;

class Responder {
public:
    explicit Responder(const ResponderConfig& config);
    ~Responder();

    // Bytes taken in elapsedNs after the start; appends the answer, if any, to reply. A timecode
    // answer holds the frame under the head at elapsedNs: the serving loop passes the moment
    // the answer goes out.
    void Receive(const uint8_t* data, size_t size, int64_t elapsedNs, std::vector<uint8_t>* reply);

    // Timecode requests seen so far; may be asked from another thread.
    int Requests() const { return m_requests.load(); }
    // The command word (command byte 1 high, byte 2 low) of every whole Sony block taken, in
    // order, whatever its checksum: what a test checks the line for. Any thread. Time and
    // status senses are kept only for the first few hours.
    std::vector<int> ReceivedWords() const;
    // When each of those came, in nanoseconds after the start, in the same order.
    std::vector<int64_t> ReceivedTimes() const;
    // The frame count under the head at elapsedNs, as the deck's time data would say it.
    int64_t FrameAt(int64_t elapsedNs) const;
    // The remote switch, turned at any time from any thread.
    void SetLocal(bool local) { m_local.store(local); }
    bool Local() const { return m_local.load(); }
    // A cassette goes in again after an eject, stopped at the start label.
    void InsertTape(int64_t elapsedNs);

private:
    void ReceiveSony(uint8_t byte, int64_t elapsedNs, std::vector<uint8_t>* reply);
    void AnswerSonyBlock(int64_t elapsedNs, std::vector<uint8_t>* reply);
    void AnswerTimecode(std::vector<uint8_t> answer, std::vector<uint8_t>* reply);
    // A transport command: obeyed unless the deck is in local; false for a word it lacks.
    bool Obey(int word, int64_t elapsedNs);
    std::vector<uint8_t> SonyStatusData(uint8_t request, int64_t elapsedNs) const;
    // Whether the fault hits everything the deck is sent, not just timecode requests.
    bool FaultsAll(Fault fault) const;
    std::vector<uint8_t> SonyTimeData(uint8_t code, int64_t elapsedNs) const;
    std::vector<uint8_t> VictorTimeData(int64_t elapsedNs) const;
    uint8_t NextGarbage();

    ResponderConfig m_config;
    std::atomic<int> m_requests{0};
    uint32_t m_garbage = 0x2545F491;
    std::vector<uint8_t> m_block; // a Sony block being received
    int64_t m_blockStart = 0;
    std::atomic<bool> m_local{false};
    // Under m_mutex: the tape and what came down the line, for the serving thread and a test.
    mutable std::mutex m_mutex;
    std::unique_ptr<TapeMotion> m_motion;
    std::vector<int> m_received;
    std::vector<int64_t> m_receivedNs;
};

// Low eight bits of the sum of the bytes: the Sony block checksum.
uint8_t SonyChecksum(const uint8_t* data, size_t size);

} // namespace vtrsim
