#pragma once

#include "sources/serial_line.h"

// The VtrType of a Sony 9-pin deck; also what any VtrType no source has stands for.
constexpr int VTR_SONY = 0;

// Sony 9-pin: the current time sense for the VITC time, answered by four BCD bytes. Results
// are 1 for success and 0 for failure.

// timecode: nine characters, HHMMSSFF and a terminating zero.
int SonyReadTimecode(SerialLine& line, char* timecode);
// Sends count bytes of line.sendBuf and reads the reply into line.recvBuf. Only the current
// time sense (command word 0x610C) is spoken.
int SonyExchange(SerialLine& line, int command, int count);
// Whether the low eight bits of the sum of the first count reply bytes equal checksum.
int SonyChecksumOk(const SerialLine& line, int count, unsigned char checksum);

// 38400 baud, 8 data bits, odd parity, one stop bit.
constexpr SerialProtocol SONY_9PIN = {38400, true, &SonyReadTimecode};
