#pragma once

// The simulated deck's tape at 30 frames a second from a label, standing or playing.
#include "responder.h"
#include "timecode/timecode_value.h"

inline vtrsim::ResponderConfig Tape(vtrsim::Protocol protocol, const char* label,
                                    bool running = false, bool drop = true) {
    vtrsim::ResponderConfig config;
    config.protocol = protocol;
    config.tape.running = running;
    config.tape.drop = drop;
    config.tape.startFrames = Timecode::FromText(label, TimecodeRate::Thirty(drop)).Frame();
    return config;
}
