#pragma once

#include <QSerialPort>

#include <atomic>
#include <memory>

// Time-outs of a port, in milliseconds. A read of n bytes gives up after
// ReadTotalTimeoutMultiplier × n + ReadTotalTimeoutConstant with whatever has arrived; a write
// likewise. An interval time-out of 0 means the gaps between bytes are not timed.
struct CommTimeouts {
    int ReadIntervalTimeout = 0;
    int ReadTotalTimeoutMultiplier = 0;
    int ReadTotalTimeoutConstant = 0;
    int WriteTotalTimeoutMultiplier = 0;
    int WriteTotalTimeoutConstant = 0;
};

// The line settings a port can be asked for. GetLine reports what the port has now, so a
// caller changes only the fields it cares about and hands the rest back unchanged.
struct LineSettings {
    qint32 baudRate = 0;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
    bool dtr = false; // raised while the port is open
    bool rts = false;
};

// One open serial device: a COM port on Windows; a serial device, USB serial adapter or
// pseudo-terminal elsewhere. All I/O is blocking and bounded by the time-outs; none of it
// runs an event loop, so a caller on the user-interface thread is never re-entered.
class SerialPort {
    class OpenKey {
        friend class SerialPort;
        OpenKey() {}
    };

public:
    // Opens the device for reading and writing, unshared. Returns null when it cannot be
    // opened: absent, not a terminal, or held by another program. Destroying the port closes
    // the device and lets others open it.
    static std::unique_ptr<SerialPort> Open(const char* name);
    // Only Open can make the key: a SerialPort is always a device that was opened.
    explicit SerialPort(OpenKey) {}
    ~SerialPort();

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // The configuration calls report whether the device accepted them; callers that must
    // work on pseudo-terminals do not look.
    bool SetTimeouts(const CommTimeouts& timeouts);
    bool GetLine(LineSettings* line) const;
    bool SetLine(const LineSettings& line);
    bool Purge();
    bool ClearDtr();

    // Number of bytes written or read, bounded by the time-outs; 0 on an error.
    int Write(const unsigned char* data, int count);
    int Read(unsigned char* data, int count);
    // A flag that, once raised, cuts a write or read short within a few milliseconds with what
    // has passed by then, so that the port can be let go without waiting out a silent VTR.
    // Null (the default) for none; the flag must outlive the port.
    void SetCancel(const std::atomic<bool>* cancel) { m_cancel = cancel; }

    // True once the device has gone away under us (adapter pulled out, far end of a
    // pseudo-terminal closed): nothing will pass through this handle again.
    bool IsGone() const { return m_gone; }

private:
    void NoteError();

    QSerialPort m_port;
    CommTimeouts m_timeouts;
    const std::atomic<bool>* m_cancel = nullptr;
    bool m_gone = false;
};
