#include "vtr/serial_port.h"
#include "vtr/vtr_link.h"

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

int VictorOpen(const char* portName) {
    return VtrOpenPort(portName, 9600, false);
}

void VictorClose() {
    VtrClosePort();
}

int VictorExchange() {
    if (g_hPort == nullptr)
        return 0;
    g_hPort->Purge();
    if (g_hPort->Write(g_sendBuf, 1) != 1)
        return 0;
    const int length = ReplyLength(g_sendBuf[0]);
    if (length == 0) {
        g_hPort->Purge();
        return 0;
    }
    const int got = g_hPort->Read(g_recvBuf, length);
    // Bytes beyond the reply go with the purge, so they cannot start the next reply.
    g_hPort->Purge();
    return got == length ? 1 : 0;
}

int VictorReadTimecode(char* timecode) {
    g_sendBuf[0] = VICTOR_TIMECODE_REQUEST;
    const int result = VictorExchange();
    std::memcpy(timecode, g_recvBuf, 8);
    return result;
}
