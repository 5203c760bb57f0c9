#pragma once

#include "sources/transport.h"

#include <QString>

#include <cstdint>

// What the picture's source is doing, as the timecode line shows it: the tokens operators
// read on a deck's own display (PLAY, STILL, SHUTTLE +4×, CUE OK, TAPE OUT...), and how the
// device answered the last command sent. A command taken is said for a moment after it was
// answered; a refusal and silence stay until the next answer.
QString TransportCaption(const TransportState& state, int64_t nowNs);

// The tooltip: the caption in words, with the reasons a refusal gave.
QString TransportDetail(const TransportState& state);

// How long "ACK" stays beside the mode after the device took a command.
constexpr int64_t TRANSPORT_ACK_SHOWN_NS = 1'500'000'000;
