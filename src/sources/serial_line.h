#pragma once

#include "sources/serial_port.h"

#include <memory>

constexpr int VTR_BUF_SIZE = 32;

// What a protocol exchange works on: the open port and the two transfer buffers. Both buffers
// are cleared by every open and by nothing else: an exchange overwrites only the bytes it
// sends or receives, so older reply bytes stay behind the new ones.
struct SerialLine {
    std::unique_ptr<SerialPort> port; // null while no port is open
    unsigned char sendBuf[VTR_BUF_SIZE] = {};
    unsigned char recvBuf[VTR_BUF_SIZE] = {};
};

// A VTR protocol as the line sees it: its speed and parity (8 data bits and one stop bit for
// every protocol) and its timecode query. The query fills the caller's nine characters with
// HHMMSSFF and returns 1 for a reading, 0 for a failure.
struct SerialProtocol {
    int baudRate;
    bool oddParity;
    int (*readTimecode)(SerialLine& line, char* timecode);
};
