#include "sources/sony9pin.h"

#include <cstring>

namespace {

// Current time sense for the VITC time: 61 0C 02 and its checksum.
constexpr int SONY_CURRENT_TIME_SENSE = 0x610C;
constexpr unsigned char kTimeSenseVitc[4] = {0x61, 0x0C, 0x02, 0x6F};

// The sense return: 74 and a time-data code, four BCD bytes, a checksum.
constexpr unsigned char SONY_TIME_DATA = 0x74;
constexpr unsigned char SONY_VITC_TIME = 0x06;
constexpr unsigned char SONY_VITC_TIME_ALT = 0x16;

int Fail(SerialLine& line) {
    line.port->Purge();
    return 0;
}

// Two characters from one BCD byte, the tens first. A nibble above 9 gives ':' to '?'.
void PutBcd(char* out, unsigned char bcd) {
    out[0] = char('0' + (bcd >> 4));
    out[1] = char('0' + (bcd & 0x0F));
}

} // namespace

int SonyChecksumOk(const SerialLine& line, int count, unsigned char checksum) {
    unsigned int sum = 0;
    for (int i = 0; i < count && i < VTR_BUF_SIZE; ++i)
        sum += line.recvBuf[i];
    return (sum & 0xFF) == checksum ? 1 : 0;
}

int SonyExchange(SerialLine& line, int command, int count) {
    if (line.port == nullptr)
        return 0;
    if (command != SONY_CURRENT_TIME_SENSE || count < 0 || count > VTR_BUF_SIZE)
        return 0;
    line.port->Purge();
    if (line.port->Write(line.sendBuf, count) != count)
        return 0;
    if (line.port->Read(line.recvBuf, 2) != 2)
        return Fail(line);
    // Anything but time data fails here, the NAK 11 12 among it; what it brought along is
    // left for the purge.
    if (line.recvBuf[0] != SONY_TIME_DATA ||
        (line.recvBuf[1] != SONY_VITC_TIME && line.recvBuf[1] != SONY_VITC_TIME_ALT))
        return Fail(line);
    if (line.port->Read(line.recvBuf + 2, 4) != 4)
        return Fail(line);
    if (line.port->Read(line.recvBuf + 6, 1) != 1)
        return Fail(line);
    const int result = SonyChecksumOk(line, 6, line.recvBuf[6]);
    line.port->Purge();
    return result;
}

int SonyReadTimecode(SerialLine& line, char* timecode) {
    std::memcpy(line.sendBuf, kTimeSenseVitc, sizeof kTimeSenseVitc);
    const int result = SonyExchange(line, SONY_CURRENT_TIME_SENSE, 4);
    // The top bits carry flags (drop frame, colour frame, field); they are not time.
    line.recvBuf[2] &= 0x3F;
    line.recvBuf[3] &= 0x7F;
    line.recvBuf[4] &= 0x7F;
    line.recvBuf[5] &= 0x3F;
    PutBcd(timecode + 0, line.recvBuf[5]);
    PutBcd(timecode + 2, line.recvBuf[4]);
    PutBcd(timecode + 4, line.recvBuf[3]);
    PutBcd(timecode + 6, line.recvBuf[2]);
    timecode[8] = '\0';
    return result;
}
