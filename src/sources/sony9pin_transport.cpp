#include "sources/sony9pin_transport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Every word the sender may put on the line. Anything that records or edits is absent on
// purpose: the program only ever plays a tape.
constexpr int kTransportWords[] = {
    SONY_STOP,         SONY_PLAY,         SONY_STANDBY_OFF,      SONY_STANDBY_ON,
    SONY_EJECT,        SONY_FAST_FORWARD, SONY_JOG_FORWARD,      SONY_SHUTTLE_FORWARD,
    SONY_STEP_FORWARD, SONY_REWIND,       SONY_JOG_REVERSE,      SONY_SHUTTLE_REVERSE,
    SONY_STEP_REVERSE, SONY_PREROLL,      SONY_CUE_UP_WITH_DATA,
};

constexpr uint8_t kAck1 = 0x10, kAck2 = 0x01;
constexpr uint8_t kNak1 = 0x11, kNak2 = 0x12;
constexpr uint8_t kStatusReturn2 = 0x20;

// Speed data beyond this (10^(118/32 − 2), about 49×) asks more than decks shuttle at.
constexpr int kFastestSpeedData = 118;

uint8_t Checksum(const uint8_t* bytes, int count) {
    unsigned int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += bytes[i];
    return uint8_t(sum & 0xFF);
}

SonyBlock MakeBlock(int word, const uint8_t* data, int dataCount) {
    SonyBlock block;
    if ((word >> 8 & 0x0F) != dataCount || dataCount < 0 || dataCount > 15)
        return block;
    block.bytes[0] = uint8_t(word >> 8);
    block.bytes[1] = uint8_t(word & 0xFF);
    if (dataCount > 0)
        std::memcpy(block.bytes + 2, data, size_t(dataCount));
    block.bytes[2 + dataCount] = Checksum(block.bytes, 2 + dataCount);
    block.size = 3 + dataCount;
    return block;
}

uint8_t Bcd(int value) {
    return uint8_t(((value / 10 % 10) << 4) | (value % 10));
}

bool Bit(const uint8_t* bytes, int count, int byte, int bit) {
    return byte < count && (bytes[byte] >> bit & 1) != 0;
}

SonyAnswer Fail(SerialLine& line, SonyAnswer::Kind kind) {
    line.port->Purge();
    SonyAnswer answer;
    answer.kind = kind;
    return answer;
}

} // namespace

bool IsSonyTransportWord(int word) {
    return std::find(std::begin(kTransportWords), std::end(kTransportWords), word) !=
           std::end(kTransportWords);
}

SonyBlock SonyTransportBlock(int word, const uint8_t* data, int dataCount) {
    if (!IsSonyTransportWord(word) || (dataCount > 0 && data == nullptr))
        return SonyBlock();
    return MakeBlock(word, data, dataCount);
}

SonyBlock SonyStatusSenseBlock() {
    // From byte 0, ten bytes: the start in the high four bits of the data, the count in the
    // low four.
    const uint8_t data = SONY_STATUS_BYTES;
    return MakeBlock(SONY_STATUS_SENSE, &data, 1);
}

SonyBlock SonyCueBlock(const Timecode& at) {
    if (!at)
        return SonyBlock();
    const TimecodeLabel label = at.Label();
    const uint8_t data[4] = {Bcd(label.frames), Bcd(label.seconds), Bcd(label.minutes),
                             Bcd(label.hours)};
    return SonyTransportBlock(SONY_CUE_UP_WITH_DATA, data, 4);
}

uint8_t SonySpeedData(double speed) {
    const double size = std::fabs(speed);
    // Below a hundredth of play speed (what data 0 would mean by the rule) the tape stands.
    if (!(size >= 0.01))
        return 0;
    const long n = std::lround(32.0 * (std::log10(size) + 2.0));
    return uint8_t(std::clamp<long>(n, 1, kFastestSpeedData));
}

double SonySpeedOf(uint8_t data) {
    if (data == 0)
        return 0.0;
    return std::pow(10.0, data / 32.0 - 2.0);
}

SonyBlock SonyRequestBlock(const TransportRequest& request) {
    const bool reverse = request.speed < 0;
    uint8_t speed = SonySpeedData(request.speed);
    switch (request.verb) {
    case TransportVerb::Play:
        return SonyTransportBlock(SONY_PLAY);
    case TransportVerb::Still:
        // Shuttle at speed 0 holds the frame under the head with the tape threaded and the
        // picture on the monitor, and the deck reports it as still. Stop would do on most
        // decks, but some show their input in stop and some unthread after a while.
        speed = 0;
        return SonyTransportBlock(SONY_SHUTTLE_FORWARD, &speed, 1);
    case TransportVerb::Stop:
        return SonyTransportBlock(SONY_STOP);
    case TransportVerb::FastForward:
        return SonyTransportBlock(SONY_FAST_FORWARD);
    case TransportVerb::Rewind:
        return SonyTransportBlock(SONY_REWIND);
    case TransportVerb::Shuttle:
        return SonyTransportBlock(reverse ? SONY_SHUTTLE_REVERSE : SONY_SHUTTLE_FORWARD, &speed, 1);
    case TransportVerb::Jog:
        return SonyTransportBlock(reverse ? SONY_JOG_REVERSE : SONY_JOG_FORWARD, &speed, 1);
    case TransportVerb::StepForward:
        return SonyTransportBlock(SONY_STEP_FORWARD);
    case TransportVerb::StepBack:
        return SonyTransportBlock(SONY_STEP_REVERSE);
    case TransportVerb::CueTo:
    case TransportVerb::CueThenPlay:
        return SonyCueBlock(request.at);
    case TransportVerb::StandbyOn:
        return SonyTransportBlock(SONY_STANDBY_ON);
    case TransportVerb::StandbyOff:
        return SonyTransportBlock(SONY_STANDBY_OFF);
    case TransportVerb::Eject:
        return SonyTransportBlock(SONY_EJECT);
    }
    return SonyBlock();
}

SonyStatus ParseSonyStatus(const uint8_t* b, int n) {
    SonyStatus s;
    s.local = Bit(b, n, 0, 0);
    s.tapeOut = Bit(b, n, 0, 5);
    s.play = Bit(b, n, 1, 0);
    s.record = Bit(b, n, 1, 1);
    s.fastForward = Bit(b, n, 1, 2);
    s.rewind = Bit(b, n, 1, 3);
    s.eject = Bit(b, n, 1, 4);
    s.stop = Bit(b, n, 1, 5);
    s.standby = Bit(b, n, 1, 7);
    s.cueUp = Bit(b, n, 2, 0);
    s.still = Bit(b, n, 2, 1);
    s.reverse = Bit(b, n, 2, 2);
    s.var = Bit(b, n, 2, 3);
    s.jog = Bit(b, n, 2, 4);
    s.shuttle = Bit(b, n, 2, 5);
    s.servoLock = Bit(b, n, 2, 7);
    s.preroll = Bit(b, n, 4, 0);
    return s;
}

void PutSonyStatus(const SonyStatus& s, uint8_t* b) {
    std::memset(b, 0, SONY_STATUS_BYTES);
    b[0] = uint8_t(s.local << 0 | s.tapeOut << 5);
    b[1] = uint8_t(s.play << 0 | s.record << 1 | s.fastForward << 2 | s.rewind << 3 | s.eject << 4 |
                   s.stop << 5 | s.standby << 7);
    b[2] = uint8_t(s.cueUp << 0 | s.still << 1 | s.reverse << 2 | s.var << 3 | s.jog << 4 |
                   s.shuttle << 5 | s.servoLock << 7);
    b[4] = uint8_t(s.preroll);
}

SonyAnswer SonyTransportExchange(SerialLine& line, const SonyBlock& block) {
    SonyAnswer answer;
    answer.kind = SonyAnswer::Other;
    const int word = block.Word();
    const bool sense = word == SONY_STATUS_SENSE;
    // Checked again here, whoever built the block: nothing else goes out.
    if (line.port == nullptr) {
        answer.kind = SonyAnswer::Silent;
        return answer;
    }
    if (block.size < 3 || block.size > VTR_BUF_SIZE || (!sense && !IsSonyTransportWord(word)) ||
        3 + (block.bytes[0] & 0x0F) != block.size ||
        Checksum(block.bytes, block.size - 1) != block.bytes[block.size - 1])
        return answer;
    line.port->Purge();
    std::memcpy(line.sendBuf, block.bytes, size_t(block.size));
    if (line.port->Write(line.sendBuf, block.size) != block.size)
        return Fail(line, SonyAnswer::Silent);
    const int got = line.port->Read(line.recvBuf, 2);
    if (got == 0)
        return Fail(line, SonyAnswer::Silent);
    if (got != 2)
        return Fail(line, SonyAnswer::Other);
    const uint8_t c1 = line.recvBuf[0], c2 = line.recvBuf[1];
    int data = 0;
    if (c1 == kAck1 && c2 == kAck2)
        answer.kind = SonyAnswer::Ack;
    else if (c1 == kNak1 && c2 == kNak2)
        answer.kind = SonyAnswer::Nak, data = 1;
    else if (sense && c1 == (0x70 | SONY_STATUS_BYTES) && c2 == kStatusReturn2)
        answer.kind = SonyAnswer::Status, data = SONY_STATUS_BYTES;
    else
        return Fail(line, SonyAnswer::Other);
    if (line.port->Read(line.recvBuf + 2, data + 1) != data + 1 ||
        Checksum(line.recvBuf, 2 + data) != line.recvBuf[2 + data])
        return Fail(line, SonyAnswer::Other);
    if (answer.kind == SonyAnswer::Nak)
        answer.nakBits = line.recvBuf[2];
    if (answer.kind == SonyAnswer::Status)
        std::memcpy(answer.status, line.recvBuf + 2, SONY_STATUS_BYTES);
    line.port->Purge();
    return answer;
}
