#include "sources/serial_port.h"

#include <QDeadlineTimer>

#include <algorithm>

// What devices do with these calls, as met so far:
// - Pseudo-terminals take the speed and stop bits and report them back, but force 8 data bits
//   and clear PARENB on every change (PARODD stays), and they refuse the modem-line ioctls
//   (TIOCMBIS, TIOCMBIC, TIOCMGET): DTR and RTS cannot be set there, and QSerialPort reports
//   an error that nobody needs to see.
// - On Unix QSerialPort takes a lock file named after the device (LCK..ttyUSB0 in /run/lock
//   or /tmp) and sets TIOCEXCL, so a second open fails even as root, where TIOCEXCL alone
//   would let it through. A symbolic link to the device locks under its own name.
// - When the far end of a pseudo-terminal goes away, reads fail at once with EIO (a resource
//   error to Qt), as they do on a USB serial adapter pulled out while open; the read stops
//   there rather than spinning until its time-out.
// - The Windows driver's queue sizes have no counterpart here: the kernel keeps its own
//   queues, and Qt's buffer above them is emptied by every purge.

namespace {

// How long a wait may go without looking at the cancel flag: what closing the port costs, at
// most, while a silent VTR is being waited for.
constexpr qint64 kCancelSliceMs = 10;

// Waits until done(), the deadline, or a cancel. A wait that fails for another reason than
// the time (the device gone, an I/O error) ends it at once rather than spinning until the
// deadline.
template <typename Done, typename Wait>
void WaitBounded(QSerialPort& port, const QDeadlineTimer& deadline, const std::atomic<bool>* cancel,
                 Done done, Wait wait) {
    while (!done()) {
        qint64 left = deadline.remainingTime();
        if (left <= 0 || (cancel != nullptr && cancel->load()))
            return;
        if (cancel != nullptr)
            left = std::min(left, kCancelSliceMs);
        port.clearError();
        if (!wait(int(left)) && port.error() != QSerialPort::TimeoutError &&
            port.error() != QSerialPort::NoError)
            return;
    }
}

} // namespace

std::unique_ptr<SerialPort> SerialPort::Open(const char* name) {
    if (name == nullptr || *name == '\0')
        return nullptr;
    auto port = std::make_unique<SerialPort>(OpenKey());
    // A name without a directory is looked up in /dev on Unix; COMn gets the \\.\ prefix on
    // Windows, which also opens COM10 and above. CreateFile there opens unshared.
    port->m_port.setPortName(QString::fromLocal8Bit(name));
    if (!port->m_port.open(QIODevice::ReadWrite))
        return nullptr;
    return port;
}

void SerialPort::NoteError() {
    if (m_port.error() == QSerialPort::ResourceError || !m_port.isOpen())
        m_gone = true;
}

SerialPort::~SerialPort() {
    if (m_port.isOpen())
        m_port.close();
}

bool SerialPort::SetTimeouts(const CommTimeouts& timeouts) {
    m_timeouts = timeouts;
    return true;
}

bool SerialPort::GetLine(LineSettings* line) const {
    line->baudRate = m_port.baudRate();
    line->dataBits = m_port.dataBits();
    line->parity = m_port.parity();
    line->stopBits = m_port.stopBits();
    line->flowControl = m_port.flowControl();
    // Asking a pseudo-terminal for its modem lines fails and reads as "low".
    auto& port = const_cast<QSerialPort&>(m_port);
    line->dtr = port.isDataTerminalReady();
    line->rts = port.isRequestToSend();
    return true;
}

bool SerialPort::SetLine(const LineSettings& line) {
    // Every setting is tried even when one is refused. Flow control goes before RTS, since
    // QSerialPort will not drive RTS by hand under hardware flow control.
    bool ok = m_port.setBaudRate(line.baudRate);
    ok = m_port.setDataBits(line.dataBits) && ok;
    ok = m_port.setParity(line.parity) && ok;
    ok = m_port.setStopBits(line.stopBits) && ok;
    ok = m_port.setFlowControl(line.flowControl) && ok;
    ok = m_port.setDataTerminalReady(line.dtr) && ok;
    ok = m_port.setRequestToSend(line.rts) && ok;
    return ok;
}

bool SerialPort::Purge() {
    // Empties Qt's buffers as well as the driver's queues.
    return m_port.clear(QSerialPort::AllDirections);
}

bool SerialPort::ClearDtr() {
    return m_port.setDataTerminalReady(false);
}

int SerialPort::Write(const unsigned char* data, int count) {
    if (count <= 0)
        return 0;
    QDeadlineTimer deadline(qint64(m_timeouts.WriteTotalTimeoutMultiplier) * count +
                            m_timeouts.WriteTotalTimeoutConstant);
    m_port.clearError();
    if (m_port.write(reinterpret_cast<const char*>(data), count) != count) {
        NoteError();
        m_port.clear(QSerialPort::Output);
        return 0;
    }
    WaitBounded(
        m_port, deadline, m_cancel, [this] { return m_port.bytesToWrite() == 0; },
        [this](int ms) { return m_port.waitForBytesWritten(ms); });
    NoteError();
    const int written = count - int(m_port.bytesToWrite());
    // A write that timed out is cut short there: what has not gone out yet must not trickle
    // out later, in the middle of the next exchange.
    if (written < count)
        m_port.clear(QSerialPort::Output);
    return written;
}

int SerialPort::Read(unsigned char* data, int count) {
    if (count <= 0)
        return 0;
    QDeadlineTimer deadline(qint64(m_timeouts.ReadTotalTimeoutMultiplier) * count +
                            m_timeouts.ReadTotalTimeoutConstant);
    // waitForReadyRead polls the descriptor itself and dispatches no events, so the dialog
    // that polls from its timer is not re-entered while it waits here.
    WaitBounded(
        m_port, deadline, m_cancel, [this, count] { return m_port.bytesAvailable() >= count; },
        [this](int ms) { return m_port.waitForReadyRead(ms); });
    NoteError();
    const qint64 got = m_port.read(reinterpret_cast<char*>(data), count);
    return got > 0 ? int(got) : 0;
}
