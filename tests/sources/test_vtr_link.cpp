// Opening and closing the VTR port, and the deck asked on its worker: line settings as the
// device sees them, buffers, VTR type, failed and lost ports and pausing, over real
// pseudo-terminals.

#include "line_under_test.h"
#include "serve.h"
#include "sim_tape.h"
#include "sources/live_timecode.h"
#include "sources/serial_port.h"
#include "sources/vtr_link.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

// Waits until another deck has been asked this many more times: time passing, seen as a state
// rather than slept through. Meanwhile asking reads its timecode as the window's tick does.
bool Elapse(const VtrLink& clock, int polls, VtrLink* asking = nullptr) {
    const int until = clock.VtrPolls() + polls;
    return QTest::qWaitFor(
        [&] {
            if (asking)
                asking->VtrReadTimecode();
            return clock.VtrPolls() >= until;
        },
        10000);
}

} // namespace

class TestVtrLink : public QObject {
    Q_OBJECT

private slots:
    void lineSettings_data();
    void lineSettings();
    void openClearsBuffers_data();
    void openClearsBuffers();
    void failedOpenKeepsNewType_data();
    void failedOpenKeepsNewType();
    void closeWithoutPortDoesNothing();
    void closeLetsOthersOpen_data();
    void closeLetsOthersOpen();
    void twoLinksKeepTheirOwnPorts();
    void vanishedPortComesBackByItself();
    void pauseStopsRequests();
};

void TestVtrLink::lineSettings_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("parity");

    QTest::newRow("Sony 38400 8O1") << VTR_SONY << int(B38400) << true;
    QTest::newRow("Victor 9600 8N1") << VTR_VICTOR << int(B9600) << false;
    QTest::newRow("any other type opens as Sony") << 5 << int(B38400) << true;
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

void TestVtrLink::openClearsBuffers_data() {
    QTest::addColumn<bool>("fails");
    QTest::newRow("the open port chosen again") << false;
    QTest::newRow("an open that fails") << true;
}

// The protocol's line as the worker holds it: every open clears both buffers, and lets go of
// the port first.
void TestVtrLink::openClearsBuffers() {
    QFETCH(bool, fails);

    vtrsim::PtyResponder vtr({});
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(link.Read());
    QCOMPARE(int(link.Line().recvBuf[0]), 0x74);

    QTemporaryDir dir;
    const QByteArray absent = dir.filePath(QStringLiteral("ttyNone")).toLocal8Bit();
    QCOMPARE(link.Open(fails ? absent.constData() : vtr.SlavePath().c_str(), VTR_SONY),
             fails ? 0 : 1);
    QCOMPARE(link.Port() != nullptr, !fails);
    for (int i = 0; i < VTR_BUF_SIZE; ++i) {
        QCOMPARE(int(link.Line().sendBuf[i]), 0);
        QCOMPARE(int(link.Line().recvBuf[i]), 0);
    }
    if (!fails) {
        // The port was let go before it was taken again, or its own lock would have refused.
        QVERIFY(link.Read());
        QCOMPARE(vtr.Requests(), 2);
    }
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
    vtrsim::PtyResponder victor(Tape(vtrsim::Protocol::Victor, "02:00:00:00"));
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    QVERIFY2(!victor.SlavePath().empty(), victor.Error().c_str());
    VtrLink link;
    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QTRY_VERIFY(link.VtrReadTimecode());

    QTemporaryDir dir;
    QByteArray name;
    QSerialPort holder;
    if (kind == QLatin1String("absent")) {
        name = dir.filePath(QStringLiteral("ttyNone")).toLocal8Bit();
    } else if (kind == QLatin1String("file")) {
        name = dir.filePath(QStringLiteral("plain")).toLocal8Bit();
        QFile file(QString::fromLocal8Bit(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("held")) {
        name = QByteArray::fromStdString(victor.SlavePath());
        holder.setPortName(QString::fromLocal8Bit(name));
        QVERIFY(holder.open(QIODevice::ReadWrite));
    }

    QCOMPARE(link.VtrOpen(name.constData(), VTR_VICTOR), 0);
    QVERIFY(!link.VtrIsOpen());
    QCOMPARE(link.VtrType(), VTR_VICTOR);
    // The old port is closed and nothing is read; a capture has nothing to go on but the
    // last tick's reading.
    QVERIFY(!link.VtrReadTimecode());
    QVERIFY(!link.VtrTimecodeAt(SteadyNowNs()).has_value());

    // The chosen device is tried again once a second, and spoken to in Victor once it is there.
    if (kind == QLatin1String("empty"))
        return;
    if (kind == QLatin1String("held")) {
        holder.close();
    } else {
        QFile::remove(QString::fromLocal8Bit(name));
        QVERIFY(::symlink(victor.SlavePath().c_str(), name.constData()) == 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode().Text(), std::string("02:00:00:00"), 5000);
    QVERIFY(link.VtrIsOpen());
}

void TestVtrLink::closeWithoutPortDoesNothing() {
    LineUnderTest line;
    QVERIFY(line.Port() == nullptr);
    std::memset(line.Line().recvBuf, 0x5A, sizeof line.Line().recvBuf);
    line.Close();
    line.Close();
    QVERIFY(line.Port() == nullptr);
    QCOMPARE(int(line.Line().recvBuf[VTR_BUF_SIZE - 1]), 0x5A);

    VtrLink link;
    link.VtrClose();
    link.VtrClose();
    QVERIFY(!link.VtrIsOpen());
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
        QVERIFY(!link->VtrIsOpen());
    }

    QSerialPort next;
    next.setPortName(QString::fromStdString(vtr.SlavePath()));
    QVERIFY(next.open(QIODevice::ReadWrite));
}

void TestVtrLink::twoLinksKeepTheirOwnPorts() {
    // Nothing of a link is shared: two of them read two VTRs of either kind side by side,
    // and closing one leaves the other reading.
    vtrsim::PtyResponder sony(Tape(vtrsim::Protocol::Sony, "01:00:00:00", false, false));
    vtrsim::PtyResponder victor(Tape(vtrsim::Protocol::Victor, "02:00:00:00", false, false));
    QVERIFY2(!sony.SlavePath().empty(), sony.Error().c_str());
    QVERIFY2(!victor.SlavePath().empty(), victor.Error().c_str());

    VtrLink first;
    VtrLink second;
    QCOMPARE(first.VtrOpen(sony.SlavePath().c_str(), VTR_SONY), 1);
    QCOMPARE(second.VtrOpen(victor.SlavePath().c_str(), VTR_VICTOR), 1);
    QTRY_COMPARE(first.VtrReadTimecode().Text(), std::string("01:00:00:00"));
    QTRY_COMPARE(second.VtrReadTimecode().Text(), std::string("02:00:00:00"));

    first.VtrClose();
    QVERIFY(!first.VtrReadTimecode());
    // A request already on its way when the port closed has reached the VTR by now.
    QVERIFY(Elapse(second, 2));
    const int asked = sony.Requests();
    QVERIFY(Elapse(second, 3));
    QCOMPARE(second.VtrReadTimecode().Text(), std::string("02:00:00:00"));
    QCOMPARE(sony.Requests(), asked);
    QVERIFY(victor.Requests() >= 6);
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
        QTRY_VERIFY(link.VtrReadTimecode());
        vtr.reset(); // the far end goes away
        QTRY_VERIFY(!link.VtrReadTimecode());
        QTRY_VERIFY(!link.VtrIsOpen());
    }
    vtrsim::PtyResponder again({});
    QVERIFY(::unlink(alias.constData()) == 0);
    QVERIFY(::symlink(again.SlavePath().c_str(), alias.constData()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(link.VtrReadTimecode().IsValid(), 5000);

    // Closing on purpose ends the attempts: nothing opens the port behind the caller's back,
    // over more than one reconnect interval, timed by another deck's polls.
    vtrsim::PtyResponder other(Tape(vtrsim::Protocol::Victor, "02:00:00:00"));
    VtrLink clock;
    QCOMPARE(clock.VtrOpen(other.SlavePath().c_str(), VTR_VICTOR), 1);
    link.VtrClose();
    QVERIFY(Elapse(clock, 1)); // a request written just before the close has arrived
    const int asked = again.Requests();
    QVERIFY(Elapse(clock, 12, &link));
    QCOMPARE(again.Requests(), asked);
    QVERIFY(!link.VtrReadTimecode());
    QVERIFY(!link.VtrIsOpen());
}

// No request reaches the VTR while polling is paused (a modal box is up), not even from a port
// opened then; it goes on by itself afterwards.
void TestVtrLink::pauseStopsRequests() {
    vtrsim::PtyResponder vtr(Tape(vtrsim::Protocol::Sony, "01:00:00:00"));
    vtrsim::PtyResponder other(Tape(vtrsim::Protocol::Victor, "02:00:00:00"));
    VtrLink clock;
    QCOMPARE(clock.VtrOpen(other.SlavePath().c_str(), VTR_VICTOR), 1);
    VtrLink link;
    link.VtrPausePolling(true);
    QCOMPARE(link.VtrOpen(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(Elapse(clock, 4));
    QCOMPARE(vtr.Requests(), 0);
    QCOMPARE(link.VtrPolls(), 0);

    link.VtrPausePolling(false);
    QTRY_VERIFY(vtr.Requests() > 0);
    QTRY_COMPARE(link.VtrReadTimecode().Text(), std::string("01:00:00:00"));
}

QTEST_GUILESS_MAIN(TestVtrLink)
#include "test_vtr_link.moc"
