// Opening and closing the VTR port: line settings as the device sees them, buffers, VTR type
// and failed opens, over real pseudo-terminals.

#include "serve.h"
#include "vtr/serial_port.h"
#include "vtr/vtr_link.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <termios.h>
#include <unistd.h>

class TestVtrLink : public QObject {
    Q_OBJECT

private slots:
    void lineSettings_data();
    void lineSettings();
    void reopenClearsBuffers();
    void failedOpenKeepsNewType_data();
    void failedOpenKeepsNewType();
    void closeWithoutPortDoesNothing();
    void closeLetsOthersOpen_data();
    void closeLetsOthersOpen();
    void twoLinksKeepTheirOwnPorts();
    void vanishedPortComesBackByItself();
    void deckReading_data();
    void deckReading();
};

void TestVtrLink::lineSettings_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("parity");

    QTest::newRow("Sony 38400 8O1") << VTR_SONY << int(B38400) << true;
    QTest::newRow("Victor 9600 8N1") << VTR_VICTOR << int(B9600) << false;
    QTest::newRow("type 4 opens as Sony") << 4 << int(B38400) << true;
    QTest::newRow("negative type opens as Sony") << -1 << int(B38400) << true;
}

void TestVtrLink::lineSettings() {
    QFETCH(int, vtrType);
    QFETCH(int, speed);
    QFETCH(bool, parity);

    vtrsim::PtyResponder vtr({});
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    VtrLink link;
    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), vtrType), 1);
    QCOMPARE(link.VtrType(), vtrType);

    // On the master, tcgetattr reports the slave's settings: what the line was set to.
    termios tio = {};
    QCOMPARE(tcgetattr(vtr.MasterFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE(int(cfgetispeed(&tio)), speed);
    QCOMPARE(int(tio.c_cflag & CSIZE), int(CS8));
    // A pseudo-terminal clears PARENB on every change (it has no parity bit to send), but
    // keeps PARODD: odd parity shows there.
    QCOMPARE(bool(tio.c_cflag & PARODD), parity);
    QCOMPARE(bool(tio.c_cflag & CSTOPB), false);
    QCOMPARE(bool(tio.c_cflag & CRTSCTS), false);
    QCOMPARE(bool(tio.c_iflag & (IXON | IXOFF)), false);
    QCOMPARE(bool(tio.c_lflag & (ICANON | ECHO)), false);
}

void TestVtrLink::reopenClearsBuffers() {
    vtrsim::PtyResponder vtr({});
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    VtrLink link;
    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(link.VtrReadTimecode());
    QCOMPARE(int(link.Line().recvBuf[0]), 0x74);

    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(link.Port() != nullptr);
    for (int i = 0; i < VTR_BUF_SIZE; ++i) {
        QCOMPARE(int(link.Line().sendBuf[i]), 0);
        QCOMPARE(int(link.Line().recvBuf[i]), 0);
    }
    // The port was let go before it was taken again, or its own lock would have refused.
    QVERIFY(link.VtrReadTimecode());
    QCOMPARE(vtr.Requests(), 2);
}

void TestVtrLink::failedOpenKeepsNewType_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("absent device") << "absent";
    QTest::newRow("regular file") << "file";
    QTest::newRow("empty name") << "empty";
    QTest::newRow("held by another program") << "held";
}

void TestVtrLink::failedOpenKeepsNewType() {
    QFETCH(QString, kind);

    vtrsim::PtyResponder vtr({});
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    VtrLink link;
    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(link.VtrReadTimecode());

    QTemporaryDir dir;
    QByteArray name;
    QSerialPort holder;
    vtrsim::PtyResponder other({});
    if (kind == QLatin1String("absent")) {
        name = dir.filePath(QStringLiteral("ttyNone")).toLocal8Bit();
    } else if (kind == QLatin1String("file")) {
        name = dir.filePath(QStringLiteral("plain")).toLocal8Bit();
        QFile file(QString::fromLocal8Bit(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("held")) {
        name = QByteArray::fromStdString(other.SlavePath());
        holder.setPortName(QString::fromLocal8Bit(name));
        QVERIFY(holder.open(QIODevice::ReadWrite));
    }

    QCOMPARE(link.VtrOpen(name.constData(), VTR_VICTOR), 0);
    QVERIFY(link.Port() == nullptr);
    QCOMPARE(link.VtrType(), VTR_VICTOR);
    // The old port is closed, the buffers cleared, and the exchanges now speak Victor.
    QCOMPARE(int(link.Line().recvBuf[0]), 0);
    QVERIFY(!link.VtrReadTimecode());
    QCOMPARE(int(link.Line().sendBuf[0]), 0xDE);
}

void TestVtrLink::closeWithoutPortDoesNothing() {
    VtrLink link;
    QVERIFY(link.Port() == nullptr);
    std::memset(link.Line().recvBuf, 0x5A, sizeof link.Line().recvBuf);
    link.VtrClose();
    link.VtrClose();
    QVERIFY(link.Port() == nullptr);
    QCOMPARE(int(link.Line().recvBuf[VTR_BUF_SIZE - 1]), 0x5A);
}

void TestVtrLink::closeLetsOthersOpen_data() {
    QTest::addColumn<bool>("destroy");
    QTest::newRow("closed") << false;
    QTest::newRow("link destroyed with the port open") << true;
}

void TestVtrLink::closeLetsOthersOpen() {
    QFETCH(bool, destroy);

    vtrsim::PtyResponder vtr({});
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    auto link = std::make_unique<VtrLink>();
    QCOMPARE(link->VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    if (destroy) {
        link.reset();
    } else {
        link->VtrClose();
        QVERIFY(link->Port() == nullptr);
    }

    QSerialPort next;
    next.setPortName(QString::fromStdString(vtr.SlavePath()));
    QVERIFY(next.open(QIODevice::ReadWrite));
}

void TestVtrLink::twoLinksKeepTheirOwnPorts() {
    // Nothing of a link is shared: two of them read two VTRs of either kind side by side,
    // and closing one leaves the other reading.
    vtrsim::ResponderConfig sonyTape;
    sonyTape.tape.running = false;
    sonyTape.tape.drop = false;
    sonyTape.tape.startFrames = 108000; // 01:00:00:00
    vtrsim::ResponderConfig victorTape = sonyTape;
    victorTape.protocol = vtrsim::Protocol::Victor;
    victorTape.tape.startFrames = 216000; // 02:00:00:00
    vtrsim::PtyResponder sony(sonyTape);
    vtrsim::PtyResponder victor(victorTape);
    QVERIFY2(!sony.SlavePath().empty(), sony.Error().c_str());
    QVERIFY2(!victor.SlavePath().empty(), victor.Error().c_str());

    VtrLink first;
    VtrLink second;
    QCOMPARE(first.VtrOpen(sony.SlavePath().c_str(), VTR_SONY), 1);
    QCOMPARE(second.VtrOpen(victor.SlavePath().c_str(), VTR_VICTOR), 1);
    QCOMPARE(first.VtrReadTimecode().Text(), std::string("01:00:00:00"));
    QCOMPARE(second.VtrReadTimecode().Text(), std::string("02:00:00:00"));

    first.VtrClose();
    QVERIFY(!first.VtrReadTimecode());
    QCOMPARE(second.VtrReadTimecode().Text(), std::string("02:00:00:00"));
    QCOMPARE(sony.Requests(), 1);
    QCOMPARE(victor.Requests(), 2);
}

void TestVtrLink::vanishedPortComesBackByItself() {
    // The port is reached through a symbolic link that outlives each pseudo-terminal, as a device
    // name outlives the adapter plugged into it.
    QTemporaryDir dir;
    const QByteArray alias = dir.filePath(QStringLiteral("vtr")).toLocal8Bit();
    VtrLink link;
    {
        auto vtr = std::make_unique<vtrsim::PtyResponder>(vtrsim::ResponderConfig{});
        QVERIFY(::symlink(vtr->SlavePath().c_str(), alias.constData()) == 0);
        QCOMPARE(link.VtrOpen(alias.constData(), VTR_SONY), 1);
        QVERIFY(link.VtrReadTimecode());
        vtr.reset(); // the far end goes away
        QVERIFY(!link.VtrReadTimecode());
        QVERIFY(link.Port() == nullptr || link.Port()->IsGone());
    }
    vtrsim::PtyResponder again({});
    QVERIFY(::unlink(alias.constData()) == 0);
    QVERIFY(::symlink(again.SlavePath().c_str(), alias.constData()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(link.VtrReadTimecode().IsValid(), 5000);

    // Closing on purpose ends the attempts: nothing opens the port behind the caller's back.
    link.VtrClose();
    QTest::qWait(1200);
    QVERIFY(!link.VtrReadTimecode());
    QVERIFY(link.Port() == nullptr);
}

QTEST_GUILESS_MAIN(TestVtrLink)
void TestVtrLink::deckReading_data() {
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("shown");

    QTest::newRow("a label") << QByteArray("01123425") << true << "01:12:34:25";
    // A non-drop deck under a drop-frame list: its label is kept, counted non-drop.
    QTest::newRow("a label drop-frame skips") << QByteArray("00010000") << true << "00:01:00:00";
    QTest::newRow("a nibble beyond 9") << QByteArray("011?342:") << true << "--:--:--:--";
    QTest::newRow("bytes that are no digits") << QByteArray("AB:CD?!x") << false << "--:--:--:--";
    QTest::newRow("frame 30") << QByteArray("01000030") << false << "--:--:--:--";
}

// What a deck sends becomes a time only when it is a label; anything else is a failed reading.
void TestVtrLink::deckReading() {
    QFETCH(QByteArray, digits);
    QFETCH(bool, drop);
    QFETCH(QString, shown);
    QCOMPARE(
        QString::fromStdString(DeckTimecode(digits.constData(), TimecodeRate::Thirty(drop)).Text()),
        shown);
}

#include "test_vtr_link.moc"
