#pragma once

// The VTR link: one serial port, the Sony 9-pin and Victor SA-K37 timecode queries, and the
// dispatch between them by VTR type. Free functions over module state; user-interface
// thread only. Results are 1 for success and 0 for failure.

class SerialPort;

constexpr int VTR_SONY = 0;
constexpr int VTR_VICTOR = 1; // any other value selects Sony

constexpr int VTR_BUF_SIZE = 32;

extern SerialPort* g_hPort; // null while no port is open
extern int g_nVtrType;      // VTR type given to the last VtrOpen, even one that failed
// Cleared by every open and by nothing else: an exchange overwrites only the bytes it sends
// or receives.
extern unsigned char g_sendBuf[VTR_BUF_SIZE];
extern unsigned char g_recvBuf[VTR_BUF_SIZE];

// Dispatch by VTR type.
int VtrOpen(const char* portName, int vtrType);
void VtrClose();
// timecode: nine characters, HHMMSSFF and a terminating zero.
int VtrReadTimecode(char* timecode);

// Sony 9-pin: 38400 baud, 8 data bits, odd parity, one stop bit.
int SonyOpen(const char* portName);
void SonyClose();
int SonyReadTimecode(char* timecode);
int SonyExchange(int command, int count);
int SonyChecksumOk(int count, unsigned char checksum);

// Victor SA-K37: 9600 baud, 8 data bits, no parity, one stop bit.
int VictorOpen(const char* portName);
void VictorClose();
int VictorReadTimecode(char* timecode);
int VictorExchange();

// Shared by both protocols' open and close; they differ only in speed and parity. The open
// clears both buffers and closes any open port before it opens the new one.
int VtrOpenPort(const char* portName, int baudRate, bool oddParity);
void VtrClosePort();
