#include "sources/port_name.h"

QString ComPortName(int port) {
    return QStringLiteral("COM%1").arg(port);
}

QString PosixDevicePath(int port, const QString& mapped) {
    const QString device = mapped.trimmed();
    if (!device.isEmpty())
        return device;
    if (port < 1)
        return QString();
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString PortDevicePath(int port, const QString& mapped) {
#ifdef Q_OS_WIN
    Q_UNUSED(mapped);
    return ComPortName(port);
#else
    return PosixDevicePath(port, mapped);
#endif
}
