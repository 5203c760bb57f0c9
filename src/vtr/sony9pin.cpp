#include "vtr/serial_port.h"
#include "vtr/vtr_link.h"

#include <cstring>

namespace {

// Current time sense for the VITC time: 61 0C 02 and its checksum.
constexpr int SONY_CURRENT_TIME_SENSE = 0x610C;
constexpr unsigned char kTimeSenseVitc[4] = {0x61, 0x0C, 0x02, 0x6F};

// The sense return: 74 and a time-data code, four BCD bytes, a checksum.
constexpr unsigned char SONY_TIME_DATA = 0x74;
constexpr unsigned char SONY_VITC_TIME = 0x06;
constexpr unsigned char SONY_VITC_TIME_ALT = 0x16;

int Fail() {
    g_hPort->Purge();
    return 0;
}

// Two characters from one BCD byte, the tens first. A nibble above 9 gives ':' to '?'.
void PutBcd(char* out, unsigned char bcd) {
    out[0] = char('0' + (bcd >> 4));
    out[1] = char('0' + (bcd & 0x0F));
}

} // namespace

int SonyOpen(const char* portName) {
    return VtrOpenPort(portName, 38400, true);
}

void SonyClose() {
    VtrClosePort();
}

int SonyChecksumOk(int count, unsigned char checksum) {
    unsigned int sum = 0;
    for (int i = 0; i < count && i < VTR_BUF_SIZE; ++i)
        sum += g_recvBuf[i];
    return (sum & 0xFF) == checksum ? 1 : 0;
}

int SonyExchange(int command, int count) {
    if (g_hPort == nullptr)
        return 0;
    if (command != SONY_CURRENT_TIME_SENSE || count < 0 || count > VTR_BUF_SIZE)
        return 0;
    g_hPort->Purge();
    if (g_hPort->Write(g_sendBuf, count) != count)
        return 0;
    if (g_hPort->Read(g_recvBuf, 2) != 2)
        return Fail();
    // Anything but time data fails here, the NAK 11 12 among it; what it brought along is
    // left for the purge.
    if (g_recvBuf[0] != SONY_TIME_DATA ||
        (g_recvBuf[1] != SONY_VITC_TIME && g_recvBuf[1] != SONY_VITC_TIME_ALT))
        return Fail();
    if (g_hPort->Read(g_recvBuf + 2, 4) != 4)
        return Fail();
    if (g_hPort->Read(g_recvBuf + 6, 1) != 1)
        return Fail();
    const int result = SonyChecksumOk(6, g_recvBuf[6]);
    g_hPort->Purge();
    return result;
}

int SonyReadTimecode(char* timecode) {
    std::memcpy(g_sendBuf, kTimeSenseVitc, sizeof kTimeSenseVitc);
    const int result = SonyExchange(SONY_CURRENT_TIME_SENSE, 4);
    // The top bits carry flags (drop frame, colour frame, field); they are not time.
    g_recvBuf[2] &= 0x3F;
    g_recvBuf[3] &= 0x7F;
    g_recvBuf[4] &= 0x7F;
    g_recvBuf[5] &= 0x3F;
    PutBcd(timecode + 0, g_recvBuf[5]);
    PutBcd(timecode + 2, g_recvBuf[4]);
    PutBcd(timecode + 4, g_recvBuf[3]);
    PutBcd(timecode + 6, g_recvBuf[2]);
    timecode[8] = '\0';
    return result;
}
