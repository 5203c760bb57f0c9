#include "sources/victor.h"

#include <cstring>

namespace {

constexpr unsigned char VICTOR_TIMECODE_REQUEST = 0xDE;

// Reply length by command byte. The controller sends fixed-length replies with neither
// header nor checksum, so the length is all there is to know.
struct VictorReply {
    unsigned char command;
    int length;
};
constexpr VictorReply kReplyLengths[] = {
    {VICTOR_TIMECODE_REQUEST, 8}, // HHMMSSFF as ASCII digits
};

int ReplyLength(unsigned char command) {
    for (const VictorReply& reply : kReplyLengths)
        if (reply.command == command)
            return reply.length;
    return 0;
}

} // namespace

int VictorExchange(SerialLine& line) {
    if (line.port == nullptr)
        return 0;
    line.port->Purge();
    if (line.port->Write(line.sendBuf, 1) != 1)
        return 0;
    const int length = ReplyLength(line.sendBuf[0]);
    if (length == 0) {
        line.port->Purge();
        return 0;
    }
    const int got = line.port->Read(line.recvBuf, length);
    // Bytes beyond the reply go with the purge, so they cannot start the next reply.
    line.port->Purge();
    return got == length ? 1 : 0;
}

int VictorReadTimecode(SerialLine& line, char* timecode) {
    line.sendBuf[0] = VICTOR_TIMECODE_REQUEST;
    const int result = VictorExchange(line);
    std::memcpy(timecode, line.recvBuf, 8);
    return result;
}
