#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

// A working folder of its own for a test that starts the main window: the window reads and
// writes default.ini there. Its [Default] section holds the keys given, and its [Ports]
// section maps ports to the devices given; by default COM1 to COM5 point nowhere, so no test
// ever touches a real serial device, whichever port the menu picks. The previous working
// folder comes back when the test ends.
struct WorkFolder {
    using PortMap = QList<QPair<int, QByteArray>>;

    QTemporaryDir dir;
    QString previous = QDir::currentPath();

    static PortMap NowherePorts() {
        PortMap ports;
        for (int com = 1; com <= 5; ++com) {
            ports.append({com, "/nonexistent/tarnwick-test-tty" + QByteArray::number(com)});
        }
        return ports;
    }

    explicit WorkFolder(const QByteArray& defaults = QByteArray(),
                        const PortMap& ports = NowherePorts()) {
        QByteArray text = "[Default]\n" + defaults + "[Ports]\n";
        for (const auto& port : ports) {
            text += "COM" + QByteArray::number(port.first) + "=" + port.second + "\n";
        }
        QFile file(ini());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
        QDir::setCurrent(dir.path());
    }
    ~WorkFolder() { QDir::setCurrent(previous); }

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString ini() const { return path("default.ini"); }
    QByteArray Text() const {
        QFile file(ini());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
