#pragma once

#include "sources/serial_line.h"
#include "sources/transport.h"
#include "timecode/timecode_value.h"

#include <cstdint>
#include <optional>

// Moving the tape of a Sony 9-pin deck: the transport commands, the status sense and what the
// deck answers. Only the commands that move or rest the tape exist here; nothing can build a
// command that writes to the tape, and the sender refuses any command word outside the list.

// Command words: command byte 1 in the high eight bits, command byte 2 in the low eight. The
// low four bits of command byte 1 count the data bytes.
constexpr int SONY_STOP = 0x2000;
constexpr int SONY_PLAY = 0x2001;
constexpr int SONY_STANDBY_OFF = 0x2004;
constexpr int SONY_STANDBY_ON = 0x2005;
constexpr int SONY_EJECT = 0x200F;
constexpr int SONY_FAST_FORWARD = 0x2010;
constexpr int SONY_JOG_FORWARD = 0x2111;
constexpr int SONY_SHUTTLE_FORWARD = 0x2113;
constexpr int SONY_STEP_FORWARD = 0x2014;
constexpr int SONY_REWIND = 0x2020;
constexpr int SONY_JOG_REVERSE = 0x2121;
constexpr int SONY_SHUTTLE_REVERSE = 0x2123;
constexpr int SONY_STEP_REVERSE = 0x2024;
constexpr int SONY_PREROLL = 0x2030;
constexpr int SONY_CUE_UP_WITH_DATA = 0x2431;
// Status sense from status byte 0, ten bytes, answered by 7A 20 and the ten bytes.
constexpr int SONY_STATUS_SENSE = 0x6120;
constexpr uint8_t SONY_STATUS_BYTES = 10;

// The deck's NAK bits.
constexpr int SONY_NAK_UNDEFINED_COMMAND = 0x01;
constexpr int SONY_NAK_CHECKSUM_ERROR = 0x04;
constexpr int SONY_NAK_PARITY_ERROR = 0x10;
constexpr int SONY_NAK_OVERRUN = 0x20;
constexpr int SONY_NAK_FRAMING_ERROR = 0x40;
constexpr int SONY_NAK_TIME_OUT = 0x80;

// Whether the word is one of the commands above, with the data count its byte 1 says.
bool IsSonyTransportWord(int word);

// One block as it goes on the line: command bytes, data, checksum.
struct SonyBlock {
    uint8_t bytes[VTR_BUF_SIZE] = {};
    int size = 0; // 0: no block (a word outside the list, or data of the wrong length)
    int Word() const { return size >= 2 ? (bytes[0] << 8) | bytes[1] : 0; }
};

// The block of a command word and its data; none for a word the list lacks or a data count
// other than its byte 1 says.
SonyBlock SonyTransportBlock(int word, const uint8_t* data = nullptr, int dataCount = 0);
// The cue to a frame: its label in BCD, frames first, then seconds, minutes and hours.
SonyBlock SonyCueBlock(const Timecode& at);
// The block that starts a request; none for a verb the deck has no single command for. A
// cue-then-play starts with the cue; the play follows once the deck says the cue is done.
SonyBlock SonyRequestBlock(const TransportRequest& request);

// Speed data of jog, var and shuttle: speed = 10^(N/32 − 2) × play speed, so 64 is play
// speed, 32 a tenth. 0 holds the picture still; the fastest sent is 50 times play speed,
// where decks stop going faster.
uint8_t SonySpeedData(double speed);
double SonySpeedOf(uint8_t data);

// The status bits that matter here, from the first ten status bytes.
struct SonyStatus {
    bool local = false;   // byte 0 bit 0: the deck's remote switch is off
    bool tapeOut = false; // byte 0 bit 5: no cassette
    bool play = false;    // byte 1 bit 0
    bool record = false;  // byte 1 bit 1
    bool fastForward = false;
    bool rewind = false;
    bool eject = false;
    bool stop = false;
    bool standby = false; // byte 1 bit 7: drum turning, ready to go
    bool cueUp = false;   // byte 2 bit 0: the cue has arrived
    bool still = false;
    bool reverse = false; // byte 2 bit 2: the direction of jog, var and shuttle
    bool var = false;
    bool jog = false;
    bool shuttle = false;
    bool servoLock = false; // byte 2 bit 7
    bool preroll = false;   // byte 4 bit 0
};
SonyStatus ParseSonyStatus(const uint8_t* bytes, int count);
// The ten status bytes of a status, as a deck sends them.
void PutSonyStatus(const SonyStatus& status, uint8_t* bytes);

// What the deck answered to one block.
struct SonyAnswer {
    enum Kind { Silent, Ack, Nak, Status, Other } kind = Silent;
    int nakBits = 0;
    uint8_t status[SONY_STATUS_BYTES] = {};
};

// Sends the block (a transport command or the status sense) and reads its answer: ACK 10 01,
// NAK 11 12 with its bits, or the status return 7A 20. A block the list lacks is not sent
// (Other). Each read is bounded by the line's time-outs; a reply cut short, of another kind or
// with a wrong checksum counts as Other; no answer at all, or no port, as Silent.
SonyAnswer SonyTransportExchange(SerialLine& line, const SonyBlock& block);
// The status sense block.
SonyBlock SonyStatusSenseBlock();
