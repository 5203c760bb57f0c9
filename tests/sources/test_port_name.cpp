// Port names from port numbers, whatever number the settings file holds.

#include "sources/port_name.h"

#include <QTest>

#include <climits>

class TestPortName : public QObject {
    Q_OBJECT

private slots:
    void comName_data();
    void comName();
    void posixDevice_data();
    void posixDevice();
};

void TestPortName::comName_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("menu port") << 3 << "COM3";
    QTest::newRow("zero") << 0 << "COM0";
    QTest::newRow("negative") << -1 << "COM-1";
    QTest::newRow("five digits") << 12345 << "COM12345";
    QTest::newRow("largest int") << INT_MAX << "COM2147483647";
    QTest::newRow("smallest int") << INT_MIN << "COM-2147483648";
}

void TestPortName::comName() {
    QFETCH(int, port);
    QFETCH(QString, name);
    QCOMPARE(ComPortName(port), name);
}

void TestPortName::posixDevice_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1 is the first serial port") << 1 << QString() << "/dev/ttyS0";
    QTest::newRow("COM5 unmapped") << 5 << QString() << "/dev/ttyS4";
    QTest::newRow("mapped to a USB adapter") << 1 << "/dev/ttyUSB0"
                                             << "/dev/ttyUSB0";
    QTest::newRow("mapped name keeps no blanks") << 2 << "  /dev/ttyACM0 "
                                                 << "/dev/ttyACM0";
    QTest::newRow("blank mapping counts as none") << 2 << "   "
                                                  << "/dev/ttyS1";
    QTest::newRow("mapped without directory") << 3 << "ttyUSB1"
                                              << "ttyUSB1";
    QTest::newRow("zero names no device") << 0 << QString() << QString();
    QTest::newRow("negative names no device") << -7 << QString() << QString();
    QTest::newRow("smallest int names no device") << INT_MIN << QString() << QString();
    QTest::newRow("zero may be mapped") << 0 << "/dev/pts/4"
                                        << "/dev/pts/4";
    QTest::newRow("largest int") << INT_MAX << QString() << "/dev/ttyS2147483646";
    QTest::newRow("COM7 from an edited file") << 7 << QString() << "/dev/ttyS6";
}

void TestPortName::posixDevice() {
    QFETCH(int, port);
    QFETCH(QString, mapped);
    QFETCH(QString, device);
    QCOMPARE(PosixDevicePath(port, mapped), device);
}

QTEST_GUILESS_MAIN(TestPortName)
#include "test_port_name.moc"
