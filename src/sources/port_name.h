#pragma once

#include <QString>

// The port name the menus and the settings file speak of: "COM" and the number, for any
// number at all ("COM0", "COM-3").
QString ComPortName(int port);

// The device to open for a port number on Unix-like systems. A device named in the settings
// (mapped) wins; otherwise COMn is /dev/ttyS(n-1), the first serial port being COM1. A number
// below 1 names no device and gives an empty path, which no open accepts.
QString PosixDevicePath(int port, const QString& mapped);

// The device to open on this platform: the COM name itself on Windows, PosixDevicePath
// elsewhere.
QString PortDevicePath(int port, const QString& mapped);
