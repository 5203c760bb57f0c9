#pragma once

#include "timecode/timecode_value.h"

#include <cstdint>

// Moving the picture: what a source that can be driven (a deck on the 9-pin line, a video file)
// is asked to do, and what it says it is doing. A source that only listens (LTC, MTC, a deck
// whose protocol has no safe transport) has none. Nothing here waits on a device: a request is
// queued and goes out on the source's own worker; the state is the latest the source knows.

// What the operator asks for. Still stops on the frame shown; Stop is the deck's own stop.
enum class TransportVerb {
    Play,
    Still,
    Stop,
    FastForward,
    Rewind,
    Shuttle,     // at TransportRequest::speed, signed: below zero is reverse
    Jog,         // as Shuttle, for slow speeds
    StepForward, // one frame
    StepBack,
    CueTo,       // to TransportRequest::at, exactly on that frame
    CueThenPlay, // cue to TransportRequest::at, then play once the cue is done
    StandbyOn,
    StandbyOff,
    Eject, // the caller asks the operator first
};

struct TransportRequest {
    TransportVerb verb = TransportVerb::Still;
    double speed = 0.0; // multiples of play speed, for Shuttle and Jog
    Timecode at;        // for CueTo and CueThenPlay
};

// What the source says it is doing.
enum class TransportMode {
    Unknown, // nothing heard yet
    Stop,
    Play,
    Still,
    FastForward,
    Rewind,
    Shuttle, // TransportState::speed says how fast and which way
    Jog,
    Cueing,
    CueDone,
    TapeOut,
    Standby,
    Local, // the deck refuses remote control
};

// How the device answered the last request sent.
enum class TransportReply {
    None,   // nothing sent yet
    Ack,    // taken
    Nak,    // refused; TransportState::nakBits says why
    Silent, // no answer within the time-out
};

struct TransportState {
    TransportMode mode = TransportMode::Unknown;
    double speed = 0.0; // signed multiples of play speed while shuttling or jogging
    TransportReply reply = TransportReply::None;
    int nakBits = 0; // the device's own error bits with a NAK
    bool servoLock = false;
    int64_t changedNs = 0; // on the steady clock, when the state last changed
};

class Transport {
public:
    virtual ~Transport() = default;
    // Queues the request and returns at once; a request still waiting is replaced by a newer
    // one of the same kind, so held keys never pile up.
    virtual void Request(const TransportRequest& request) = 0;
    virtual TransportState State() const = 0;
    // Whether the source can do this at all (a file has no eject and no standby).
    virtual bool Offers(TransportVerb verb) const = 0;
};
