#pragma once

#include "sources/serial_line.h"

// The VtrType of a Victor SA-K37 deck.
constexpr int VTR_VICTOR = 1;

// Victor SA-K37: a one-byte request answered by a fixed-length reply with neither header nor
// checksum. Results are 1 for success and 0 for failure.

// timecode: the first eight of the caller's nine characters get the reply as it came.
int VictorReadTimecode(SerialLine& line, char* timecode);
// Sends the command byte in line.sendBuf and reads its reply into line.recvBuf.
int VictorExchange(SerialLine& line);

// 9600 baud, 8 data bits, no parity, one stop bit.
constexpr SerialProtocol VICTOR_SA_K37 = {9600, false, &VictorReadTimecode};
