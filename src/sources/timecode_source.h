#pragma once

#include "sources/live_timecode.h"
#include "sources/transport.h"
#include "timecode/timecode_value.h"

#include <cstdint>
#include <optional>
#include <string>

// The VtrType of a video file, played in a window of its own (its player lives in the module
// video/ builds, loaded only when a file is chosen).
constexpr int VTR_VIDEO = 4;

// Where the tape's time comes from. The VTR link holds one for each VTR type, opens the chosen
// one on its device, reads it once a polling tick and, while it is lost, opens it again
// (unless the source does that itself). Results of Open are 1 for success and 0 for failure;
// a reading is a Timecode, none when the source had nothing to tell. No reading waits on a
// device: each source reads on a worker of its own and keeps the latest.
class TimecodeSource {
public:
    virtual ~TimecodeSource() = default;

    // Lets go of any device held, then takes this one.
    virtual int Open(const char* device) = 0;
    // Lets go of the device on purpose; nothing when none is held.
    virtual void Close() = 0;
    // Whether a device is held that has not gone away.
    virtual bool IsOpen() const = 0;
    // Whether the source tries a lost device again by itself, so the link need not.
    virtual bool ReopensByItself() const { return false; }
    // The latest reading, as the display shows it.
    virtual Timecode ReadTimecode() = 0;

    // Whether the source can tell the time of this very moment, and that time.
    virtual bool HoldsLatestTimecode() const { return false; }
    virtual Timecode LatestTimecode() { return Timecode(); }
    // The frame under the head at a moment on the steady clock (a key press), without I/O;
    // nothing when the source has nothing to go on beyond its latest reading, which the
    // caller then takes.
    virtual std::optional<Timecode> TimecodeAt(int64_t /*steadyNs*/) {
        if (!HoldsLatestTimecode())
            return std::nullopt;
        return LatestTimecode();
    }
    // A source that asks its device (a deck) stops asking while paused, and goes on when let
    // go; one that only listens is not concerned.
    virtual void PausePolling(bool /*paused*/) {}
    // What moves the picture, for a source that can be driven; none for one that only
    // listens.
    virtual Transport* GetTransport() { return nullptr; }
    // The rate the list counts at; a source that hears timecode of its own (LTC, MTC) reads
    // another rate as none. Any thread may tell it.
    virtual void SetListRate(TimecodeRate /*rate*/) {}
    // The rate a signal carrying its own time is heard at, while it sends timecode. A deck,
    // which is asked its labels and never says its rate, gives the rate its labels (a frame
    // the list's rate lacks) or its pace of steady play show, once that is not the list's;
    // nothing while they show nothing, or the list's rate.
    virtual std::optional<SignalRate> HeardRate() const { return std::nullopt; }
    // Why the device cannot be read, naming it as the settings do: "/x/ltc.raw がありません"
    // (not there), "hw:1,0 を開けません" (there, but refused); nothing while it reads, or before
    // it has been tried.
    virtual std::optional<std::string> DeviceProblem() const { return std::nullopt; }
    // Exchanges with the device since it was opened, for a source that asks: how a test or a
    // benchmark sees the worker at work.
    virtual int Polls() const { return 0; }
};
