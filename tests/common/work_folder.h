#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A working folder of its own for a test that starts the main window: the window reads and
// writes default.ini there, and COM1 points nowhere, so no test ever touches a real serial
// device. The previous working folder comes back when the test ends.
struct WorkFolder {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();

    explicit WorkFolder(const QByteArray& moreIni = QByteArray()) {
        QDir::setCurrent(dir.path());
        QFile file(ini());
        file.open(QIODevice::WriteOnly);
        file.write("[Ports]\nCOM1=/nonexistent/tarnwick-test-tty\n" + moreIni);
    }
    ~WorkFolder() { QDir::setCurrent(previous); }

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString ini() const { return path("default.ini"); }
};
